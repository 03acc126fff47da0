// What sfconv --init takes from a FullProf output: all of it stands before the
// first refinement cycle, in the conditions of each pattern, the global
// parameters of each pattern and the data of each phase.
#include <cstdint>
#include <string_view>

#include "driver/init.hpp"
#include "readers/fullprof/fullprof.hpp"
#include "textio/chars.hpp"
#include "textio/failure.hpp"
#include "textio/numeric_input.hpp"

namespace sfconv {

namespace {

constexpr std::string_view kPatternBlock = " ==> CONDITIONS OF THIS RUN FOR PATTERN No.:";
constexpr std::string_view kCycle = " => CYCLE No.:";
constexpr std::string_view kTitle = " => Title:";
constexpr std::string_view kPcrCode = " => PCR file code:";
constexpr std::string_view kWavelengths = " => Wavelengths:";
constexpr std::string_view kBankAngle = " => T.O.F. 2theta average detector angle";
// Whose a wavelength or an angle is, as the reader tells it: the wavelengths
// follow a " => Data ... for pattern:  1" line, the angle stands in the
// pattern's " =>------->  PATTERN number:  1" block.
constexpr std::string_view kForPattern = "for pattern:";
constexpr std::string_view kPatternNumber = " =>------->  PATTERN number:";
constexpr std::string_view kPhase = " => Phase  No.";
constexpr std::string_view kSymmetry = " => Symmetry information on space group:";
constexpr std::string_view kGroupNumber = "Number of Space group:";  // after " =>" and blanks
constexpr std::string_view kDirectCell = " => Direct cell parameters:";

std::string_view rest_after(std::string_view line, std::size_t at) {
  return at >= line.size() ? std::string_view{} : trim_end(trim_start(line.substr(at)));
}

// The first word of a text.
std::string_view first_word(std::string_view text) {
  text = trim_start(text);
  return text.substr(0, text.find(' '));
}

// The pattern numbered `number`; in an output of one pattern, that one
// whatever the number (0 before any line tells).
InitValues::Pattern* pattern(InitValues& v, int number) {
  if (v.patterns.size() == 1 && number == 0) return &v.patterns.front();
  for (auto& p : v.patterns) {
    if (p.number == number) return &p;
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

}  // namespace

void init_fullprof(TextInput& output, InitValues& v) {
  output.set_task(cat("looking for ", quoted(kPatternBlock)));
  long pattern_line = -10;  // the line of the last pattern marker
  bool neutron = false;
  InitValues::Phase* phase = nullptr;  // the phase whose data the lines give
  long phase_line = 0;
  auto first_phase = [&] { return phase != nullptr && phase == &v.phases.front(); };
  int for_pattern = 0;  // the pattern of the last " => ... for pattern:" line
  int block = 0;        // the pattern of the last " =>------->  PATTERN number:" block
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
      v.title = rest_after(line, kTitle.size());
    } else if (line.starts_with(kPcrCode) && v.pcr_code.empty()) {
      v.pcr_code = rest_after(line, kPcrCode.size());
    } else if (line.starts_with(kPatternNumber)) {
      if (!number_in(first_word(line.substr(kPatternNumber.size())), block)) block = -1;
    } else if (line.starts_with(kWavelengths)) {
      float lambda = 0.0f;
      auto* p = pattern(v, for_pattern);
      if (p != nullptr && !p->wavelength &&
          number_in(first_word(line.substr(kWavelengths.size())), 0, lambda)) {
        p->wavelength = lambda;
      }
    } else if (line.starts_with(kBankAngle)) {
      float angle = 0.0f;
      auto* p = pattern(v, block);
      if (p != nullptr && p->tof && !p->angle &&
          number_in(first_word(line.substr(line.rfind(':') + 1)), 0, angle)) {
        p->angle = angle;
      }
    } else if (line.starts_with(kPhase)) {
      int number = 0;
      if (!number_in(first_word(line.substr(kPhase.size())), number)) continue;
      v.phases.push_back({number, "", "", ""});
      phase = &v.phases.back();
      phase_line = output.line();
    } else if (phase != nullptr && output.line() == phase_line + 1) {
      // The phase's name, and after three blanks what the .pcr's line adds.
      std::string_view name = trim_start(line);
      phase->name = trim_end(name.substr(0, name.find("   ")));
    } else if (line.starts_with(kSymmetry) && phase != nullptr && phase->group.empty()) {
      phase->group = rest_after(line, kSymmetry.size());
      if (first_phase()) {
        v.group.symbol = phase->group;
        const char letter = phase->group.empty() ? ' ' : phase->group[0];
        if (std::string_view("PABCFIR").find(letter) != std::string_view::npos) {
          v.group.letter = letter;
        }
      }
    } else if (line.starts_with(" =>") && trim_start(line.substr(3)).starts_with(kGroupNumber)) {
      int number = 0;
      const std::string_view text = trim_start(line.substr(3)).substr(kGroupNumber.size());
      if (first_phase() && v.group.number == 0 && number_in(text, number) && number >= 1 &&
          number <= 230) {
        v.group.number = number;
      }
    } else if (line.starts_with(" => ") && line.find(kForPattern) != std::string_view::npos) {
      if (!number_in(first_word(line.substr(line.find(kForPattern) + kForPattern.size())),
                     for_pattern)) {
        for_pattern = -1;
      }
    } else if (line.starts_with(kDirectCell) && first_phase() && !v.cell) {
      Cell cell{};
      if (cell_of(line.substr(kDirectCell.size()), cell)) v.cell = cell;
    }
  }
  if (v.patterns.empty()) output.fail_end_of_file();
}

}  // namespace sfconv
