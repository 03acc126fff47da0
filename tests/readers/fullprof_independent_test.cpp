// FullProf conversions checked against a reading of their own: the output's
// final reflection table and the second file are read by blank-separated
// words, the columns found by the names in the table header, and the file the
// sfconv binary writes must hold exactly those reflections and values.
#include <cmath>
#include <filesystem>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/files.hpp"

namespace sfconv {
namespace {

using Words = std::vector<std::string>;

Words words(const std::string& line) {
  std::istringstream in(line);
  Words w;
  for (std::string s; in >> s;) w.push_back(s);
  return w;
}

std::vector<std::string> lines_of(const std::string& path) {
  std::istringstream in(test::read_file(path));
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

// FullProf's fixed-point values touch when one fills its field: in
// "72707344.01478839.750" Iobs 72707344.0 meets sigma 1478839.750. A word with
// a second decimal point, on a line with fewer words than `whole` (the last
// line read in full), is split so that its first number has the decimals of
// the same word in `whole`.
Words split_touching(const Words& w, const Words& whole) {
  Words split;
  for (const std::string& word : w) {
    std::size_t c = split.size(), point = word.find('.');
    if (w.size() < whole.size() && c < whole.size() &&
        word.find('.', point + 1) != std::string::npos) {
      std::size_t cut = point + whole[c].size() - whole[c].find('.');
      split.push_back(word.substr(0, cut));
      split.push_back(word.substr(cut));
    } else {
      split.push_back(word);
    }
  }
  return split;
}

// What FullProf computed for one reflection that sfconv must write.
struct Reflection {
  int h, k, l;
  double iobs, d, fobs, phase;
};

struct Expected {
  std::vector<Reflection> reflections;  // table order, Iobs 0.0 left out
  std::vector<double> cell;
  double twotheta = 0.0;  // time of flight only: the bank's 2theta
  bool tof = false;
};

// The run a case directory's params.txt describes, read without sfconv from
// `dir`, where its inputs stand: the output's last table of the pattern and
// phase, the cell of the last block of that phase and pattern before it, and
// the records after the second file's phase marker.
Expected read_run(const std::filesystem::path& dir) {
  std::vector<Words> params;
  for (std::string line : lines_of(dir / "params.txt")) {
    line = line.substr(0, line.find('#'));
    if (!words(line).empty()) params.push_back(words(line));
  }
  const std::string pattern = params[10][0], phase = params[11][0];
  const std::vector<std::string> out = lines_of(dir / params[0][0]);

  Expected e;
  std::size_t table = 0, phase_block = 0;
  bool block = false;  // in the pattern's block of global parameters
  for (std::size_t i = 0; i < out.size(); ++i) {
    Words w = words(out[i]);
    if (w.size() == 4 && w[1] == "PATTERN" && w[2] == "number:") block = w[3] == pattern;
    if (block && w.size() > 2 && w[1] == "T.O.F." && w[w.size() - 2] == ":") {
      e.twotheta = std::stod(w.back());
    }
    if (w.size() >= 5 && w[0] == "Pattern#" && w[1] == pattern && w[4] == phase) table = i;
    if (w.size() >= 4 && w[0] == "=>" && w[1] == "Phase" && w[2] == phase && w[3] == "Name:") {
      phase_block = i;
    }
    if (w == Words{"=>", "Neutron", "Time-Of-Flight", "data"}) e.tof = true;
  }
  EXPECT_NE(table, 0u) << "no table";
  bool profile = false;
  for (std::size_t i = phase_block; i < table; ++i) {
    Words w = words(out[i]);
    if (w.size() == 6 && w[1] == "PROFILE" && w[5] == pattern) profile = true;
    if (profile && (w == Words{"=>", "Cell", "parameters:"} ||
                    w == Words{"=>", "Direct", "cell", "parameters:"})) {
      for (std::size_t k = 1; k <= 6; ++k) e.cell.push_back(std::stod(words(out[i + k])[0]));
      break;
    }
  }
  // The bank's angle as the output prints it, else from the detector-angle line.
  if (e.tof && e.twotheta == 0.0) e.twotheta = std::stod(params[12][std::stoul(pattern) - 1]);

  // The line under the marker is a rule; a header follows, or nothing: a
  // table that FullProf was not asked to list.
  std::vector<Reflection> lines;  // every reflection line, Iobs 0.0 included
  std::map<std::string, std::size_t> column;
  Words whole;
  for (std::size_t i = table + 2; i < out.size(); ++i) {
    Words w = split_touching(words(out[i]), whole);
    if (w.empty()) continue;
    if (w[0] == "No.") {
      for (std::size_t c = 0; c < w.size(); ++c) column[w[c]] = c;
      continue;
    }
    if (column.empty() || w[0][0] == '-') break;
    if (w.size() >= whole.size()) whole = w;
    auto at = [&](const char* name) { return w.at(column.at(name)); };
    lines.push_back({std::stoi(at("H")), std::stoi(at("K")), std::stoi(at("L")),
                     std::stod(at("Iobs")), std::stod(at("d-hkl")), 0.0, 0.0});
  }

  const std::vector<std::string> fou = lines_of(dir / params[1][0]);
  auto is_marker = [&](const Words& w) {
    return w.size() >= 3 && w[0] == "Phase" && w[1] == "no.:" && w[2] == phase;
  };
  std::size_t record = 0;
  while (record < fou.size() && !is_marker(words(fou[record]))) ++record;
  for (Reflection& r : lines) {
    EXPECT_LT(++record, fou.size()) << "the second file ends before the table";
    if (record >= fou.size()) break;
    Words w = words(fou[record]);
    EXPECT_EQ(w.at(0) + " " + w.at(1) + " " + w.at(2),
              std::to_string(r.h) + " " + std::to_string(r.k) + " " + std::to_string(r.l));
    r.fobs = std::stod(w.at(3));
    r.phase = std::stod(w.at(5));
    if (r.iobs != 0.0) e.reflections.push_back(r);
  }
  return e;
}

constexpr double kRadian = 3.14159265358979323846 / 180.0;

// A printed value within half a unit of its last decimal of the exact one,
// give or take the single-precision rounding of the value itself.
void expect_printed(double printed, double exact, double half_unit, const std::string& what) {
  EXPECT_LE(std::abs(printed - exact), half_unit + 2e-7 * std::abs(exact))
      << what << ": " << printed << " for " << exact;
}

// A case directory, and the folder of tests/fixtures whose files it uses;
// `listed` whether its table lists reflections.
struct Run {
  const char* case_dir;
  const char* fixtures;
  bool listed = true;
};

void PrintTo(const Run& run, std::ostream* out) {
  *out << run.case_dir;
}

class Independent : public testing::TestWithParam<Run> {};

TEST_P(Independent, ConversionIsWhatFullProfComputed) {
  test::TempDir dir;
  std::vector<std::string> sources{std::string(SFCONV_CASES "/fullprof/") + GetParam().case_dir};
  if (*GetParam().fixtures != '\0') {
    sources.push_back(std::string(SFCONV_SOURCE "/tests/fixtures/fullprof/") + GetParam().fixtures);
  }
  for (const std::string& source : sources) {
    for (const auto& f : std::filesystem::directory_iterator(source)) {
      std::filesystem::copy(f.path(), dir.path() / f.path().filename(),
                            std::filesystem::copy_options::skip_existing);
    }
  }
  const Expected e = read_run(dir.path());
  ASSERT_EQ(e.reflections.empty(), !GetParam().listed);
  ASSERT_EQ(e.cell.size(), 6u);

  test::RunResult run = test::run_sfconv(dir, "params.txt");
  ASSERT_EQ(run.status, 0) << run.err;
  const std::vector<std::string> sf = lines_of(dir / "out.sf");

  std::size_t i = 0;
  while (i < sf.size() && !sf[i].starts_with("#        a")) ++i;
  ASSERT_LT(i + 1, sf.size());
  Words cell = words(sf[i + 1]);
  for (std::size_t k = 0; k < 6; ++k)
    expect_printed(std::stod(cell.at(k)), e.cell[k], 5e-6, "cell");
  while (i < sf.size() && !sf[i].starts_with("#   h")) ++i;

  ASSERT_EQ(sf.size() - i - 1, e.reflections.size());
  for (const Reflection& r : e.reflections) {
    Words w = words(sf[++i]);
    ASSERT_EQ(w.size(), e.tof ? 9u : 8u) << sf[i];
    EXPECT_EQ(w[0] + " " + w[1] + " " + w[2],
              std::to_string(r.h) + " " + std::to_string(r.k) + " " + std::to_string(r.l));
    expect_printed(std::stod(w[3]), r.fobs * std::cos(r.phase * kRadian), 5e-4, "Fo(r)");
    expect_printed(std::stod(w[4]), r.fobs * std::sin(r.phase * kRadian), 5e-4, "Fo(i)");
    expect_printed(std::stod(w[6]), r.fobs, 5e-4, "|Fo|");
    // Io to four significant digits
    expect_printed(std::stod(w[7]), r.iobs, 5e-4 * std::abs(r.iobs), "Io");
    if (e.tof) {
      double wave = 2.0 * r.d * std::sin(e.twotheta / 2.0 * kRadian);
      expect_printed(std::stod(w[8]), wave, 5e-5, "wavelength");
    }
  }
}

// Real FullProf 5.40 to 7.95 outputs: every one with its own Fou=4 file (the
// two rutana tables list nothing), and with Fou=4 files made for their tables
// the 6.20 and 6.30 outputs and the 7.95 time-of-flight ones, each WISH bank
// at the angle its own block prints; and the made-up two-bank run.
INSTANTIATE_TEST_SUITE_P(
    Fullprof, Independent,
    testing::Values(Run{"real/pbso4", ""}, Run{"real/cecual", ""}, Run{"real/mnpyrol", ""},
                    Run{"v7-time-of-flight-second-bank", ""},
                    Run{"real/v5.40-pbsox", "v5.40-pbsox"},
                    Run{"real/v5.40-tbbaco", "v5.40-tbbaco"}, Run{"real/v5.60-lmo", "v5.60-lmo"},
                    Run{"real/v5.40-rutana-phase-1", "v5.40-rutana", false},
                    Run{"real/v5.40-rutana-phase-2", "v5.40-rutana", false},
                    Run{"real/v7.95-arg_si", "v7.95-arg_si"},
                    Run{"real/v7.95-arg_si-2026", "v7.95-arg_si-2026"},
                    Run{"real/v7.95-wish-bank-1", "v7.95-wish-5banks"},
                    Run{"real/v7.95-wish-bank-2", "v7.95-wish-5banks"},
                    Run{"real/v7.95-wish-bank-3", "v7.95-wish-5banks"},
                    Run{"real/v7.95-wish-bank-4", "v7.95-wish-5banks"},
                    Run{"real/v7.95-wish-bank-5", "v7.95-wish-5banks"}),
    [](const testing::TestParamInfo<Run>& info) { return test::param_name(info.param.case_dir); });

}  // namespace
}  // namespace sfconv
