// The FullProf reader called in-process, for what the printed output hides:
// single-precision values, the cell columns read, how far the real FullProf
// 6.x outputs get, and their first and last stored reflections. Whole
// conversions are cases under tests/cases/fullprof/.
#include <array>
#include <cmath>
#include <cstdint>
#include <optional>
#include <string>

#include <gtest/gtest.h>

#include "driver/run_state.hpp"
#include "readers/fullprof/fullprof.hpp"
#include "support/files.hpp"
#include "textio/det_angle.hpp"
#include "textio/failure.hpp"

namespace sfconv {
namespace {

const std::string kCases = SFCONV_CASES "/fullprof/";
const std::string kReal = kCases + "real/";
const std::string kFixtures = SFCONV_FIXTURES "/fullprof/";

// Calls fullprof as the driver does once the parameter file's head and values
// are read (pattern 1, phase 1): `output` open on unit 1, `rest` (the lines
// after the phase line) left in the parameter file. The failure that ended
// it, if any; `lines` is set to the lines of `output` read by then.
std::optional<IoFailure> read_fullprof(const std::string& output, const std::string& second,
                                       const std::string& rest = "145.0 /\n",
                                       long* lines = nullptr) {
  reset_run_state();
  test::TempDir dir;
  IDATA.histogram = 1;
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

template <typename T>
std::string name_of(const testing::TestParamInfo<T>& info) {
  return info.param.name;
}

TEST(FullprofReading, StructureFactorsAndWavelengthsInSinglePrecision) {
  const std::string run = kCases + "time-of-flight-whatever-the-header/run";
  auto failure = read_fullprof(run + ".out", run + ".fou", "90.0 /\n");
  ASSERT_FALSE(failure) << failure->header;
  EXPECT_TRUE(LDATA.TOF);
  EXPECT_EQ(IDATA.nbank, 1);
  EXPECT_EQ(IDATA.nangles, 1);
  EXPECT_EQ(RDATA.twotheta, 90.0f);
  ASSERT_EQ(IDATA.NREF1, 3);  // 1 1 1, 3 1 1, 2 2 0
  EXPECT_EQ(IDATA.IH[1], 3);
  EXPECT_EQ(RDATA.IO[0], 1520.3f);
  EXPECT_EQ(RDATA.IO[1], 88.7f);
  // 2 sin 45 degrees, with 45 degrees in radians rounded to single precision
  EXPECT_EQ(RDATA.WAVE[0], 1.4142135f);
  EXPECT_EQ(RDATA.WAVE[1], 0.70710677f);
  EXPECT_EQ(RDATA.FOR[0], 39.0f);
  EXPECT_EQ(RDATA.FOI[0], 0.0f);
  EXPECT_EQ(RDATA.FOABS[1], 12.5f);
  EXPECT_EQ(RDATA.FOR[1], -12.5f);
  // 12.5 times the sine of the single-precision value of pi: not zero
  EXPECT_LT(RDATA.FOI[1], -1.08e-6f);
  EXPECT_GT(RDATA.FOI[1], -1.10e-6f);
}

// Each cell value stands in columns 1-15; FullProf 5.60 and later write it in
// 16, read whole when columns 15 and 16 both hold digits, whatever the table
// marker. Other lines read exactly as before.
struct Cell {
  const char* name;
  const char* output;
  const char* second;
  std::array<float, 6> cell;
};

class CellColumns : public testing::TestWithParam<Cell> {};

TEST_P(CellColumns, AreThoseOfTheLayout) {
  const Cell& c = GetParam();
  auto failure = read_fullprof(kFixtures + c.output, kFixtures + c.second);
  ASSERT_FALSE(failure) << failure->header;
  EXPECT_EQ(RDATA.CELL, c.cell);
  EXPECT_FALSE(LDATA.TOF);
  EXPECT_EQ(IDATA.NREF1, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Fullprof, CellColumns,
    testing::Values(
        Cell{"OneToFifteen",
             "cell-columns.out",
             "no-records.fou",
             {5.43102f, 5.43102f, 5.43102f, 90.0f, 0.00009f, 0.0f}},
        Cell{"SixteenthReadBehindTheOlderMarker",
             "cell-16-columns.out",
             "no-records.fou",
             {5.4310209f, 5.4310201f, 13.0000009f, 90.0000001f, 90.0000009f, 120.0000001f}},
        // 0.000059: "59" in columns 15-16, six decimals implied
        Cell{"SixteenthOnlyBehindADigit",
             "cell-column-16-not-digits.out",
             "no-records.fou",
             {5.43102f, 0.000059f, 0.0f, 90.0f, 90.0000001f, 120.0f}},
        Cell{"SixteenthReadIn6x",
             "cell-16-columns-6x.out",
             "no-records-6x.fou",
             {5.4310209f, 5.4310201f, 13.0000009f, 90.0000001f, 90.0000009f, 120.0000001f}}),
    name_of<Cell>);

// The real FullProf 6.x outputs: every search of the output file succeeds up
// to the table marker " Pattern#  1 Phase No.:   1" (the line after it is
// passed over). Only then is the second file opened, here a missing one. The
// cell is that of the six lines after the last " => Cell parameters:".
struct Real {
  const char* name;
  const char* output;
  long marker_line;
  bool tof;
  std::array<float, 6> cell;
};

class RealOutputs : public testing::TestWithParam<Real> {};

TEST_P(RealOutputs, GetAsFarAsTheTableMarker) {
  const Real& r = GetParam();
  test::TempDir dir;
  long lines = 0;
  auto failure = read_fullprof(kReal + r.output, dir / "none.fou", "145.0 /\n", &lines);
  ASSERT_TRUE(failure);
  EXPECT_EQ(failure->statement, "OPEN");
  EXPECT_EQ(failure->unit, 2);
  EXPECT_TRUE(CDATA.LSTLINE.starts_with(" Pattern#  1 Phase No.:   1 Phase name: "));
  EXPECT_EQ(lines, r.marker_line + 1);
  EXPECT_EQ(LDATA.TOF, r.tof);
  EXPECT_EQ(RDATA.twotheta, r.tof ? 145.0f : 0.0f);
  EXPECT_EQ(RDATA.CELL, r.cell);
}

INSTANTIATE_TEST_SUITE_P(
    Fullprof, RealOutputs,
    testing::Values(Real{"pbso4",
                         "pbso4/pbso4.out",
                         412,
                         false,
                         {8.478844f, 5.396727f, 6.958402f, 90.0f, 90.0f, 90.0f}},
                    // " => CYCLE No.:    1" twice; the first block's cell is cut short by
                    // a reference line, so only the later block reads
                    Real{"cecual",
                         "cecual/cecual.out",
                         574,
                         true,
                         {4.256782f, 4.256782f, 10.633879f, 90.0f, 90.0f, 90.0f}},
                    Real{"nacaalf",
                         "nacaalf/nacaalf_g41.out",
                         695,
                         false,
                         {10.25168f, 10.25168f, 10.25168f, 90.0f, 90.0f, 90.0f}},
                    // nine cycles, ISO-8859-1 bytes in the title and phase name
                    Real{"mnpyrol",
                         "mnpyrol/Mnpyrol_266995_30K_BS.out",
                         2237,
                         false,
                         {19.870861f, 19.870861f, 19.870861f, 90.0f, 90.0f, 90.0f}}),
    name_of<Real>);

// The real outputs with the Fourier files written for them: the first and
// last stored reflections, checked by hand against the lines of the real
// table (h, k, l, Iobs and, for time of flight, the wavelength 2 d sin(theta)
// from its d-hkl and the bank's 2theta of 145) and the moduli of the file.
struct Stored {
  std::int32_t h, k, l;
  float iobs;
  double d;  // d-hkl, time of flight only
  float modulus;
};

struct HandCheck {
  const char* name;
  const char* run;  // run.out and run.fou
  bool tof;
  std::int32_t nref1;  // the table's lines less those with Iobs 0.0
  Stored first, last;
};

class RealTables : public testing::TestWithParam<HandCheck> {};

void expect_stored(std::int32_t i, const Stored& s, bool tof) {
  const auto at = static_cast<std::size_t>(i);
  EXPECT_EQ((std::array{IDATA.IH[at], IDATA.IK[at], IDATA.IL[at]}), (std::array{s.h, s.k, s.l}));
  EXPECT_EQ(RDATA.IO[at], s.iobs);
  EXPECT_EQ(RDATA.FOABS[at], s.modulus);
  if (tof) {
    double wave = 2.0 * s.d * std::sin(72.5 * 3.141592653589793 / 180.0);
    EXPECT_NEAR(RDATA.WAVE[at], wave, 2e-6 * wave);
  }
}

TEST_P(RealTables, FirstAndLastStoredReflectionsAreThoseOfTheTable) {
  const HandCheck& c = GetParam();
  auto failure = read_fullprof(kReal + c.run + ".out", kReal + c.run + ".fou");
  ASSERT_FALSE(failure) << failure->header;
  EXPECT_EQ(LDATA.TOF, c.tof);
  ASSERT_EQ(IDATA.NREF1, c.nref1);
  expect_stored(0, c.first, c.tof);
  expect_stored(c.nref1 - 1, c.last, c.tof);
}

INSTANTIATE_TEST_SUITE_P(
    Fullprof6, RealTables,
    testing::Values(
        // pbso4.out lines 417 and 623 (198 lines, 8 with Iobs 0.0)
        HandCheck{"pbso4",
                  "pbso4/pbso4",
                  false,
                  190,
                  {1, 0, 1, 22.4f, 0.0, 14.25f},
                  {8, 2, 0, 177.8f, 0.0, 11.5f}},
        // cecual.out lines 579 and 886 (296 lines)
        HandCheck{"cecual",
                  "cecual/cecual",
                  true,
                  296,
                  {7, 5, 4, 35771.0f, 0.486485, 14.25f},
                  {1, 1, 0, 31538228.0f, 3.010000, 18.0f}},
        // Mnpyrol_266995_30K_BS.out lines 2242 and 2332 (88 lines, 3 with Iobs 0.0)
        HandCheck{"mnpyrol",
                  "mnpyrol/Mnpyrol_266995_30K_BS",
                  false,
                  85,
                  {2, 1, 1, 4227.1f, 0.0, 14.25f},
                  {10, 6, 2, 202.1f, 0.0, 19.0f}}),
    name_of<HandCheck>);

}  // namespace
}  // namespace sfconv
