// The FullProf reader called in-process: the values it leaves in the run state
// (single-precision arithmetic, cell columns) and how far it gets in real
// FullProf outputs.
#include <cmath>
#include <optional>
#include <ostream>
#include <string>

#include <gtest/gtest.h>

#include "driver/run_state.hpp"
#include "readers/fullprof/fullprof.hpp"
#include "support/files.hpp"
#include "support/fullprof_files.hpp"
#include "textio/det_angle.hpp"
#include "textio/failure.hpp"

namespace sfconv {
namespace {

using namespace test::fullprof;  // NOLINT: the fixture vocabulary

// Calls fullprof as the driver does once the parameter file's head and values
// are read: `output` open on unit 1, and `rest` (the lines after the phase
// line) left in the parameter file. The failure that ended it, if any; `lines`
// is set to the lines of `output` read by then.
std::optional<IoFailure> read_fullprof(const std::string& output, const std::string& second,
                                       int histogram, const std::string& rest = "",
                                       long* lines = nullptr) {
  reset_run_state();
  det_angle_reset();
  test::TempDir dir;
  IDATA.histogram = histogram;
  IDATA.phase_no = 1;
  CDATA.FILEIN2.assign(second);
  TextInput out(output, 1);
  TextInput parameters(dir.write("params.txt", rest), 5);
  std::optional<IoFailure> failure;
  try {
    fullprof(out, parameters);
  } catch (const IoFailure& f) {
    failure = f;
  }
  if (lines != nullptr) *lines = out.line();
  return failure;
}

std::string header_line(const std::optional<IoFailure>& f) {
  return f ? f->header : "(no failure)";
}

TEST(FullprofReading, StructureFactorsAndWavelengthsInSinglePrecision) {
  test::TempDir dir;
  std::string table = "\n" + kNarrowHeader + tof(1, 1, 1, 1, 1520.3, 1.0) +
                      tof(2, 3, 1, 1, 88.7, 0.5) + tof(3, 2, 2, 0, 0.0, 0.8) +
                      "     ---------------\n";
  std::string out = preamble() + pattern_block(1, "neutron", true) + cycle(1, 5.43102) +
                    table_marker(1, 1) + table + run_finished();
  std::string fou = second_file(1, {{1, 1, 1, 12.5, 0.0}, {3, 1, 1, 12.5, 180.0}});
  auto failure = read_fullprof(dir.write("run.out", out), dir.write("run.fou", fou), 1, "90.0 /\n");
  ASSERT_FALSE(failure) << header_line(failure);

  EXPECT_TRUE(LDATA.TOF);
  EXPECT_EQ(IDATA.nbank, 1);
  EXPECT_EQ(IDATA.nangles, 1);
  EXPECT_EQ(RDATA.twotheta, 90.0f);
  // the third line's record is missing: the table ends there
  ASSERT_EQ(IDATA.NREF1, 2);
  EXPECT_EQ(IDATA.IH[1], 3);
  EXPECT_EQ(RDATA.IO[0], 1520.3f);
  EXPECT_EQ(RDATA.IO[1], 88.7f);
  // 2 sin 45 degrees, with 45 degrees in radians rounded to single precision
  EXPECT_EQ(RDATA.WAVE[0], 1.4142135f);
  EXPECT_EQ(RDATA.WAVE[1], 0.70710677f);
  EXPECT_EQ(RDATA.FOR[0], 12.5f);
  EXPECT_EQ(RDATA.FOI[0], 0.0f);
  EXPECT_EQ(RDATA.FOABS[1], 12.5f);
  EXPECT_EQ(RDATA.FOR[1], -12.5f);
  // 12.5 times the sine of the single-precision value of pi: not zero
  EXPECT_LT(RDATA.FOI[1], -1.08e-6f);
  EXPECT_GT(RDATA.FOI[1], -1.10e-6f);
}

TEST(FullprofReading, EachCellValueComesFromColumnsOneToFifteen) {
  test::TempDir dir;
  std::string out = preamble() + pattern_block(1) + cycle_marker(1) + phase_block(1) +
                    " ==> PROFILE PARAMETERS FOR PATTERN#  1\n"
                    " => Cell parameters: \n"
                    "5.431020          0.000000\n"   // at the left
                    "       5.431020   0.000000\n"   // at the right
                    "        5431020   0.000000\n"   // no point: six decimals implied
                    "      90.000000\n"              //
                    "             90   0.000000\n"   // 0.000090
                    "                  90.000000\n"  // beyond column 15: blank, zero
                    + table_marker(1, 1) + "\n" + kNarrowHeader + "     ---------------\n" +
                    run_finished();
  auto failure =
      read_fullprof(dir.write("run.out", out), dir.write("run.fou", second_file(1, {})), 1);
  ASSERT_FALSE(failure) << header_line(failure);
  EXPECT_EQ(RDATA.CELL,
            (std::array<float, 6>{5.43102f, 5.43102f, 5.43102f, 90.0f, 0.00009f, 0.0f}));
  EXPECT_FALSE(LDATA.TOF);
  EXPECT_EQ(IDATA.NREF1, 0);
}

// FullProf 6.x writes each cell value in 16 columns; the 16th is read only
// when the table marker shows the file is of that version, so an older
// output reads exactly as before.
TEST(FullprofReading, TheSixteenthCellColumnCountsOnlyInFullProf6Files) {
  for (bool version6 : {false, true}) {
    test::TempDir dir;
    std::string cell_lines;
    for (const char* value : {"       5.4310209", "       5.4310201", "      13.0000009",
                              "      90.0000001", "      90.0000009", "     120.0000001"}) {
      cell_lines += std::string(value) + "    0.000000\n";
    }
    std::string out = preamble() + pattern_block(1) + cycle_marker(1) + phase_block(1) +
                      " ==> PROFILE PARAMETERS FOR PATTERN#  1\n => Cell parameters: \n" +
                      cell_lines + (version6 ? table_marker6(1, 1) : table_marker(1, 1)) + "\n" +
                      (version6 ? "  " + kNarrowHeader : kNarrowHeader) + table_end() +
                      run_finished();
    auto failure =
        read_fullprof(dir.write("run.out", out),
                      dir.write("run.fou", version6 ? fourier_file(1, {}) : second_file(1, {})), 1);
    ASSERT_FALSE(failure) << header_line(failure);
    if (version6) {
      EXPECT_EQ(RDATA.CELL, (std::array<float, 6>{5.4310209f, 5.4310201f, 13.0000009f, 90.0000001f,
                                                  90.0000009f, 120.0000001f}));
    } else {
      EXPECT_EQ(RDATA.CELL,
                (std::array<float, 6>{5.431020f, 5.431020f, 13.0f, 90.0f, 90.0f, 120.0f}));
    }
  }
}

// The real FullProf 6.x outputs: every search of the output file succeeds up
// to the table marker, which FullProf 6.x writes as "Phase No.:   1", the
// phase number after a colon in column 23. Only then is the second file
// opened, here a missing one.
struct Sample {
  const char* file;
  long marker_line;  // the line of " Pattern#"
  bool tof;
  // The cell as the six lines after the last " => Cell parameters:" print
  // it: FullProf 6.x writes each value in 16 columns, all of which are read
  // once the table marker has shown the file is of that version.
  std::array<float, 6> cell;
};

void PrintTo(const Sample& s, std::ostream* os) {
  *os << s.file;
}

class RealOutputs : public testing::TestWithParam<Sample> {};

TEST_P(RealOutputs, GetAsFarAsTheTableMarker) {
  const Sample& s = GetParam();
  test::TempDir dir;
  std::string path = SFCONV_CASES "/fullprof/real/";
  path.append(s.file);
  long lines = 0;
  auto failure = read_fullprof(path, dir / "none.fou", 1, "145.0 /\n", &lines);
  ASSERT_TRUE(failure);
  EXPECT_EQ(failure->statement, "OPEN");
  EXPECT_EQ(failure->unit, "2");
  EXPECT_TRUE(CDATA.LSTLINE.starts_with(" Pattern#  1 Phase No.:   1 Phase name: "));
  EXPECT_EQ(lines, s.marker_line + 1);  // the line after the marker is passed over
  EXPECT_EQ(LDATA.TOF, s.tof);
  if (s.tof) {
    EXPECT_EQ(RDATA.twotheta, 145.0f);
  }
  EXPECT_EQ(RDATA.CELL, s.cell);
}

INSTANTIATE_TEST_SUITE_P(
    Fullprof, RealOutputs,
    testing::Values(Sample{"pbso4/pbso4.out",
                           412,
                           false,
                           {8.478844f, 5.396727f, 6.958402f, 90.0f, 90.0f, 90.0f}},
                    // Prints " => CYCLE No.:    1" twice; the first block's cell is cut
                    // short by a reference line, so only the later block reads.
                    Sample{"cecual/cecual.out",
                           574,
                           true,
                           {4.256782f, 4.256782f, 10.633879f, 90.0f, 90.0f, 90.0f}},
                    Sample{"nacaalf/nacaalf_g41.out",
                           695,
                           false,
                           {10.25168f, 10.25168f, 10.25168f, 90.0f, 90.0f, 90.0f}},
                    // nine cycles, ISO-8859-1 bytes in the title and phase name
                    Sample{"mnpyrol/Mnpyrol_266995_30K_BS.out",
                           2237,
                           false,
                           {19.870861f, 19.870861f, 19.870861f, 90.0f, 90.0f, 90.0f}}),
    [](const testing::TestParamInfo<Sample>& i) {
      std::string n = i.param.file;
      return n.substr(0, n.find('/'));
    });

// The real FullProf 6.x outputs converted with the Fourier files written for
// them: the first and last stored reflections, checked by hand against the
// lines of the real table (h, k, l, Iobs and, for time of flight, the
// wavelength 2 d sin(theta) from its d-hkl and the bank's 2theta of 145).
struct TableLine {
  std::int32_t h, k, l;
  float iobs;
  double d;       // d-hkl, time of flight only
  float modulus;  // from the Fourier file
};

struct HandCheck {
  const char* name;
  bool tof;
  std::int32_t nref1;  // the table's lines less those with Iobs 0.0
  TableLine first, last;
};

void PrintTo(const HandCheck& c, std::ostream* os) {
  *os << c.name;
}

class RealTables : public testing::TestWithParam<HandCheck> {};

void expect_stored(std::size_t i, const TableLine& t, bool tof) {
  EXPECT_EQ(IDATA.IH[i], t.h);
  EXPECT_EQ(IDATA.IK[i], t.k);
  EXPECT_EQ(IDATA.IL[i], t.l);
  EXPECT_EQ(RDATA.IO[i], t.iobs);
  EXPECT_EQ(RDATA.FOABS[i], t.modulus);
  if (tof) {
    double wave = 2.0 * t.d * std::sin(72.5 * 3.141592653589793 / 180.0);
    EXPECT_NEAR(RDATA.WAVE[i], wave, 2e-6 * wave);
  }
}

TEST_P(RealTables, FirstAndLastStoredReflectionsAreThoseOfTheTable) {
  const HandCheck& c = GetParam();
  std::string base = SFCONV_CASES "/fullprof/real/";
  base.append(c.name);
  auto failure = read_fullprof(base + ".out", base + ".fou", 1, "145.0 /\n");
  ASSERT_FALSE(failure) << header_line(failure);
  EXPECT_EQ(LDATA.TOF, c.tof);
  ASSERT_EQ(IDATA.NREF1, c.nref1);
  expect_stored(0, c.first, c.tof);
  expect_stored(static_cast<std::size_t>(c.nref1 - 1), c.last, c.tof);
}

INSTANTIATE_TEST_SUITE_P(
    Fullprof6, RealTables,
    testing::Values(
        // pbso4.out lines 417 and 623 (198 lines, 8 with Iobs 0.0)
        HandCheck{"pbso4/pbso4",
                  false,
                  190,
                  {1, 0, 1, 22.4f, 0.0, 14.25f},
                  {8, 2, 0, 177.8f, 0.0, 11.5f}},
        // cecual.out lines 579 and 886 (296 lines)
        HandCheck{"cecual/cecual",
                  true,
                  296,
                  {7, 5, 4, 35771.0f, 0.486485, 14.25f},
                  {1, 1, 0, 31538228.0f, 3.010000, 18.0f}},
        // Mnpyrol_266995_30K_BS.out lines 2242 and 2332 (88 lines, 3 with Iobs 0.0)
        HandCheck{"mnpyrol/Mnpyrol_266995_30K_BS",
                  false,
                  85,
                  {2, 1, 1, 4227.1f, 0.0, 14.25f},
                  {10, 6, 2, 202.1f, 0.0, 19.0f}}),
    [](const testing::TestParamInfo<HandCheck>& i) {
      std::string n = i.param.name;
      return n.substr(0, n.find('/'));
    });

}  // namespace
}  // namespace sfconv
