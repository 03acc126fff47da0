// What sfconv --init takes from a FullProf output: all of it stands before the
// first refinement cycle, in the conditions of each pattern, the global
// parameters of each pattern and the data of each phase.
#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "readers/fullprof/fullprof.hpp"
#include "readers/fullprof/fullprof_output.hpp"
#include "readers/space_group.hpp"
#include "run/init_values.hpp"
#include "textio/chars.hpp"
#include "textio/failure.hpp"
#include "textio/numeric_input.hpp"

namespace sfconv {

using namespace fullprof_output;

namespace {

// The pattern a value printed now belongs to, as `whose` tells of each
// pattern's number; nullptr for none.
template <typename Whose>
InitValues::Pattern* pattern(InitValues& v, Whose whose) {
  for (auto& p : v.patterns) {
    if (whose(p.number, v.patterns.size())) return &p;
  }
  return nullptr;
}

// " => Direct cell parameters:   10.2503  10.2503  10.2503  90.0000  90.0000  90.0000"
bool cell_of(std::string_view text, Cell& cell) {
  for (float& x : cell) {
    text = trim_start(text);
    std::string_view word = first_word(text);
    if (!number_in(word, 0, x)) return false;
    text.remove_prefix(word.size());
  }
  return true;
}

// The name of the file `name` in the directory `dir` ("" or ending in '/') as
// it stands on disk, letters compared in either case (the .pcr may give the
// code as NaCaAlF_G41, the disk hold nacaalf_g41.fou): the exact name when
// it is there, else the first such name in order; empty when none is.
std::string on_disk(const std::string& dir, const std::string& name) {
  std::error_code error;
  std::vector<std::string> found;
  auto lower = [](std::string text) {
    for (char& c : text) c = to_lower(c);
    return text;
  };
  for (const auto& entry : std::filesystem::directory_iterator(dir.empty() ? "." : dir, error)) {
    const std::string file = entry.path().filename().string();
    if (lower(file) != lower(name) || !entry.is_regular_file(error)) continue;
    if (file == name) return dir + file;
    found.push_back(file);
  }
  if (found.empty()) return {};
  std::sort(found.begin(), found.end());
  return dir + found.front();
}

// Why a second file will not serve a conversion, as the run would find it:
// no phase marker, no record after it, or a first record without a phase
// angle in columns 37-48 (FullProf's Fou=2 file); empty when it serves.
std::string second_file_trouble(const std::string& name) {
  try {
    TextInput second(name, 2);  // the unit of the second file
    std::string_view line;
    while (second.next(line)) {
      if (!starts_with_marker(line, kSecondPhase) && !starts_with_marker(line, kFourierPhase)) {
        continue;
      }
      if (!second.next(line)) return "it lists no reflection after its phase marker";
      if (trim_end(columns(line, 37, 48)).empty()) {
        return "it holds no phase angles (written with Fou=2)";
      }
      return {};
    }
    return cat("it has no ", quoted(kSecondPhase), " line: no second file of FullProf");
  } catch (const IoFailure& failure) {
    return cat("it cannot be read (", failure.message, ")");
  }
}

// The second file, looked for beside the output: the one named, or the
// .pcr code's .fou in whatever case of letters the disk holds it.
void look_for_second_file(InitValues& v) {
  std::string name = v.second;
  if (name.empty()) {
    if (v.pcr_code.empty()) return;
    const std::size_t slash = v.input.rfind('/');
    const std::string dir = slash == std::string::npos ? "" : v.input.substr(0, slash + 1);
    name = v.second_found = on_disk(dir, v.pcr_code + ".fou");
    if (name.empty()) {
      v.second_trouble = "not found beside the output";
      return;
    }
  } else {
    std::error_code error;
    if (!std::filesystem::is_regular_file(name, error)) {
      v.second_trouble = "not found";
      return;
    }
  }
  v.second_trouble = second_file_trouble(name);
}

}  // namespace

void init_fullprof(TextInput& output, InitValues& v) {
  output.set_task(cat("looking for ", quoted(kPatternBlock)));
  long pattern_line = -10;  // the line of the last pattern marker
  bool neutron = false;
  InitValues::Phase* phase = nullptr;  // the phase whose data the lines give
  long phase_line = 0;
  Owners owners;  // of the wavelengths and bank angles
  std::string_view line;
  while (output.next(line)) {
    // Everything is told before the refinement starts.
    if (line.starts_with(kCycle) && !v.patterns.empty()) break;
    const long after = output.line() - pattern_line;
    if (line.starts_with(kPatternBlock)) {
      int number = 0;
      if (!number_in(columns(line, 45, 47), number)) continue;
      v.patterns.push_back({});
      v.patterns.back().number = number;
      pattern_line = output.line();
      neutron = false;
    } else if (after == 2) {
      // The radiation, tested where and as the reader tests it.
      neutron = columns(line, 26, 32) == "neutron";
      v.patterns.back().kind = neutron                                   ? "neutron"
                               : line.find("X-ray") != std::string::npos ? "X-ray"
                                                                         : "";
    } else if (after == 3 && neutron && columns(line, 13, 26) == "Time-Of-Flight") {
      v.patterns.back().tof = true;
      v.patterns.back().bank = v.patterns.back().number;
    }

    if (line.starts_with(kTitle) && v.title.empty()) {
      v.title = trim(rest_of(line, kTitle.size()));
    } else if (line.starts_with(kPcrCode) && v.pcr_code.empty()) {
      v.pcr_code = trim(rest_of(line, kPcrCode.size()));
    } else if (line.starts_with(kPatternNumber)) {
      owners.block_line(line);
    } else if (line.starts_with(kWavelengths)) {
      float lambda = 0.0f;
      auto* p = pattern(v, [&](int n, std::size_t k) { return owners.wavelength_of(n, k); });
      if (p != nullptr && !p->wavelength && number_in(wavelength_word(line), 0, lambda)) {
        p->wavelength = lambda;
      }
    } else if (line.starts_with(kBankAngle)) {
      float angle = 0.0f;
      auto* p = pattern(v, [&](int n, std::size_t k) { return owners.angle_of(n, k); });
      if (p != nullptr && p->tof && !p->angle && number_in(angle_word(line), 0, angle)) {
        p->angle = angle;
      }
    } else if (line.starts_with(kPhaseList)) {
      int number = 0;
      if (!number_after(line, kPhaseList, number)) continue;
      phase = &v.phases.emplace_back();
      phase->number = number;
      phase_line = output.line();
    } else if (phase != nullptr && output.line() == phase_line + 1) {
      // The phase's name, and after three blanks what the .pcr's line adds.
      std::string_view name = trim_start(line);
      phase->name = trim_end(name.substr(0, name.find("   ")));
    } else if (line.starts_with(kSymmetry) && phase != nullptr && phase->group.empty()) {
      phase->group = trim(rest_of(line, kSymmetry.size()));
      phase->space_group.symbol = phase->group;
      if (!phase->group.empty() && is_lattice_letter(phase->group[0])) {
        phase->space_group.letter = phase->group[0];
      }
    } else if (line.starts_with(" =>") && trim_start(line.substr(3)).starts_with(kGroupNumber)) {
      int number = 0;
      const std::string_view text = trim_start(line.substr(3)).substr(kGroupNumber.size());
      if (phase != nullptr && phase->space_group.number == 0 && number_in(text, number) &&
          number >= 1 && number <= 230) {
        phase->space_group.number = number;
      }
    } else if (line.starts_with(kDirectCell) && phase != nullptr && !phase->cell) {
      Cell cell{};
      if (cell_of(line.substr(kDirectCell.size()), cell)) phase->cell = cell;
    } else if (line.starts_with(kOption)) {
      owners.option_line(line);
    }
  }
  if (v.patterns.empty()) output.fail_end_of_file();
  // FullProf prints the symbol as the .pcr gives it: setting 1 only for the
  // standard setting of its group.
  for (InitValues::Phase& p : v.phases) {
    if (p.space_group.number == 0) continue;
    const SettingCheck check =
        p.space_group.symbol.empty()
            ? SettingCheck{false, cat("the output prints the space-group number ",
                                      p.space_group.number, " without its symbol")}
            : check_setting(p.space_group.symbol, p.space_group.number, p.cell ? (*p.cell)[3] : 0.0,
                            p.cell ? (*p.cell)[5] : 0.0);
    p.space_group.setting = check.standard ? 1 : 0;
    p.space_group.setting_why = check.why;
  }
  if (!v.phases.empty()) {
    v.group = v.phases.front().space_group;
    v.cell = v.phases.front().cell;
  }
  look_for_second_file(v);
}

}  // namespace sfconv
