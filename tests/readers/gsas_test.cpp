// GSAS listings converted end to end by the sfconv binary (whole output files
// compared), the reader's stops and failure reports, and the arithmetic of one
// reflection where the printed digits would hide it.
#include <algorithm>
#include <cmath>
#include <string>

#include <gtest/gtest.h>

#include "driver/run_state.hpp"
#include "readers/gsas/gsas.hpp"
#include "support/files.hpp"

namespace sfconv {
namespace {

using test::fixture;

// A parameter file for run.lst -> run.sf, then `more` (the polarization or
// detector-angle line, or nothing).
std::string parameters(int histogram, int phase, const std::string& more) {
  return "# GSAS conversion\n"
         "run.lst\n"
         "run.sf\n"
         "GSAS test conversion   # title\n"
         "F 227-2\n"
         "2.0                    # E\n"
         "64 64 64\n"
         "0                      # IAMP\n"
         "1234.5\n"
         "1.5405600              # lambda0\n" +
         std::to_string(histogram) + "                      # histogram\n" + std::to_string(phase) +
         "                      # phase\n" + more;
}

const std::string kPolarization = "0.5, 1.0               # polarization, monochromator\n";
const std::string kAngles = "90.0  120.0  145.0  /\n";

struct Conversion {
  test::RunResult result;
  std::string output;  // "(none)" when no output file was made
};

Conversion convert(const std::string& listing, const std::string& params) {
  test::TempDir dir;
  dir.write("run.lst", listing);
  dir.write("params.txt", params);
  Conversion c;
  c.result = test::run_sfconv(dir, "params.txt");
  c.output = dir.exists("run.sf") ? test::read_file(dir / "run.sf") : "(none)";
  return c;
}

// The text with the first `from` replaced by `to`; `from` must be there.
std::string edit(std::string text, const std::string& from, const std::string& to) {
  std::size_t at = text.find(from);
  if (at == std::string::npos) {
    ADD_FAILURE() << "not in the listing: " << from;
    return text;
  }
  return text.replace(at, from.size(), to);
}

// The lines before the first that begins with `marker`.
std::string cut_before(const std::string& text, const std::string& marker) {
  std::size_t at = text.find("\n" + marker);
  if (at == std::string::npos) ADD_FAILURE() << "not in the listing: " << marker;
  return text.substr(0, at + 1);
}

long lines_in(const std::string& text) {
  return static_cast<long>(std::count(text.begin(), text.end(), '\n'));
}

// Line number of the first line that begins with `marker`.
long line_of(const std::string& text, const std::string& marker) {
  return lines_in(cut_before(text, marker)) + 1;
}

// An expected output with its reflection records dropped and NREF1 0.
std::string without_records(const std::string& sf) {
  std::size_t nref = sf.find("# NREF1\n");
  std::size_t columns = sf.find('\n', nref + 8) + 1;
  std::size_t records = sf.find('\n', columns) + 1;
  return sf.substr(0, nref) + "# NREF1\n    0\n" + sf.substr(columns, records - columns);
}

void expect_converted(const Conversion& c, const std::string& expected) {
  EXPECT_EQ(c.result.status, 0) << c.result.err;
  EXPECT_EQ(c.result.out, "");
  EXPECT_EQ(c.result.err, "");
  EXPECT_EQ(c.output, expected);
}

// ----------------------------------------------------------------- whole files

struct WholeFile {
  const char* name;
  const char* listing;
  int histogram, phase;
  std::string more;
  const char* expected;
};

class GsasWholeFiles : public testing::TestWithParam<WholeFile> {};

TEST_P(GsasWholeFiles, ConvertAsExpected) {
  const WholeFile& w = GetParam();
  expect_converted(convert(fixture(w.listing), parameters(w.histogram, w.phase, w.more)),
                   fixture(w.expected));
}

INSTANTIATE_TEST_SUITE_P(
    Gsas, GsasWholeFiles,
    testing::Values(
        // histogram 2's line is the second tested one; its wavelength is taken
        WholeFile{"XRay", "gsas/pxc.lst", 2, 1, kPolarization, "gsas/pxc.sf"},
        // fraction 0.25 from columns 45-52; PNC reads no further parameter
        // line, so the line after the phase line may hold anything
        WholeFile{"Neutron", "gsas/pnc.lst", 3, 1, "not a number: never read\n", "gsas/pnc.sf"},
        WholeFile{"NeutronPhase2", "gsas/pnc.lst", 3, 2, "", "gsas/pnc-phase2.sf"},
        // the line under the first data heading is skipped ...
        WholeFile{"TimeOfFlight1", "gsas/pnt.lst", 1, 1, kAngles, "gsas/pnt-1.sf"},
        // ... but not under a later one: histogram 1's heading came first
        WholeFile{"TimeOfFlight2", "gsas/pnt.lst", 2, 1, kAngles, "gsas/pnt-2.sf"}),
    [](const testing::TestParamInfo<WholeFile>& i) { return i.param.name; });

// Changes to a listing that must leave the output as it was, or give another
// known output.
struct Variant {
  const char* name;
  const char* listing;
  int histogram;
  std::string more, from, to;
  const char* expected;
};

class GsasVariants : public testing::TestWithParam<Variant> {};

TEST_P(GsasVariants, GiveTheKnownOutput) {
  const Variant& v = GetParam();
  expect_converted(
      convert(edit(fixture(v.listing), v.from, v.to), parameters(v.histogram, 1, v.more)),
      fixture(v.expected));
}

INSTANTIATE_TEST_SUITE_P(Gsas, GsasVariants,
                         testing::Values(
                             // constant wavelength takes the first data heading, whatever it names
                             Variant{"FirstDataHeading", "gsas/pxc.lst", 2, kPolarization,
                                     " Histogram  2 data", " Histogram  1 data", "gsas/pxc.sf"},
                             // "1" in column 1 without "REFLIST" in 69-75 is no page header
                             Variant{"OneInColumnOne", "gsas/pxc.lst", 2, kPolarization,
                                     "\n     4  4  0  0", "\n1    4  4  0  0", "gsas/pxc.sf"},
                             // X-rays: a fraction (here a blank field, 0.0) divides nothing
                             Variant{"XRayWithFraction", "gsas/pxc.lst", 2, kPolarization,
                                     " Histogram scale factors:",
                                     " Phase/element fractions for phase no. 1", "gsas/pxc.sf"},
                             // scale factors before the fraction heading: no division
                             Variant{"ScaleFactorsFirst", "gsas/pnc.lst", 3, "",
                                     " Phase/element fractions for phase no. 1",
                                     " Histogram scale factors:", "gsas/pnc-nofraction.sf"},
                             // no fraction column for histograms 0 and 34: no division either
                             Variant{"Histogram0", "gsas/pnc.lst", 0, "", "\n  1  PNC",
                                     "\n  0  PNC", "gsas/pnc-nofraction.sf"},
                             Variant{"Histogram34", "gsas/pnc.lst", 34, "", "\n  3  PNC",
                                     "\n 34  PNC", "gsas/pnc-nofraction.sf"}),
                         [](const testing::TestParamInfo<Variant>& i) { return i.param.name; });

TEST(Gsas, CrLfLineEndsReadLikeLineFeeds) {
  std::string listing = fixture("gsas/pxc.lst");
  std::string crlf;
  for (char ch : listing) {
    if (ch == '\n') crlf += '\r';
    crlf += ch;
  }
  expect_converted(convert(crlf, parameters(2, 1, kPolarization)), fixture("gsas/pxc.sf"));
}

// ------------------------------------------------------------ where it ends

struct Ending {
  const char* name;
  const char* listing;
  int histogram;
  std::string more;
  std::string cut;   // the listing ends before the line beginning with this
  std::string task;  // what the report says was going on
};

class GsasEndings : public testing::TestWithParam<Ending> {};

// The report names the file, its line count and what was being looked for.
TEST_P(GsasEndings, AreTheEndOfFileReport) {
  const Ending& e = GetParam();
  std::string listing = cut_before(fixture(e.listing), e.cut);
  Conversion c = convert(listing, parameters(e.histogram, 1, e.more));
  EXPECT_EQ(c.result.status, 2);
  EXPECT_EQ(c.result.out, "");
  EXPECT_EQ(c.result.err, "sfconv: run.lst ended (line " + std::to_string(lines_in(listing)) +
                              ") while " + e.task +
                              "\nAttempt to read past end of file\n? READ(UNIT=1,...\n");
  EXPECT_EQ(c.output, "(none)");
}

const std::string kLatticeHeading =
    "                 a         b         c       alpha     beta      gamma";

INSTANTIATE_TEST_SUITE_P(
    Gsas, GsasEndings,
    testing::Values(
        Ending{"BeforeChiSquared", "gsas/pxc.lst", 2, kPolarization, " Reduced CHI**2",
               "looking for \" Reduced CHI**2 =\""},
        Ending{"BeforeTheFraction", "gsas/pnc.lst", 3, "", " Phase/element",
               "looking for \" Histogram scale factors:\" or \" Phase/element fractions for "
               "phase no.\""},
        Ending{"InTheFractionLines", "gsas/pnc.lst", 3, "", " Fraction     0.75",
               "reading the phase fractions under \" Phase/element fractions for phase no.\""},
        Ending{"BeforeTheLattice", "gsas/pxc.lst", 2, kPolarization, kLatticeHeading,
               "looking for the lattice heading \"" + kLatticeHeading + "\""},
        Ending{"BeforeTheCell", "gsas/pxc.lst", 2, kPolarization,
               " Values:", "reading the lattice parameters under the lattice heading"},
        Ending{"BeforeTheBankLine", "gsas/pnt.lst", 2, kAngles, " Hstgm  2 PNT",
               "looking for the \" Hstgm\" line of PNT histogram 2"},
        Ending{"BeforeTheHistogramLine", "gsas/pxc.lst", 3, kPolarization, " Hstgm  Zero",
               "looking for the line of histogram 3 after \" Diffractometer constants for "
               "powder data:\""},
        Ending{"UnderTheDataHeading", "gsas/pxc.lst", 2, kPolarization, " Serial",
               "reading the line under the data heading of histogram 2"},
        Ending{"InAPageHeader", "gsas/pnc.lst", 3, "", "       Histogram  3 reflection",
               "reading a page header of the reflection list"}),
    [](const testing::TestParamInfo<Ending>& i) { return i.param.name; });

TEST(Gsas, AListingOfAnotherKindNamesTheFirstSectionLookedFor) {
  std::string listing = fixture("gsas/other.lst");
  Conversion c = convert(listing, parameters(1, 1, kPolarization));
  EXPECT_EQ(c.result.status, 2);
  EXPECT_EQ(c.result.err, "sfconv: run.lst ended (line " + std::to_string(lines_in(listing)) +
                              ") while looking for \" Diffractometer constants for powder "
                              "data:\"\nAttempt to read past end of file\n? READ(UNIT=1,...\n");
  EXPECT_EQ(c.output, "(none)");
}

TEST(Gsas, TheListEndsWithTheListing) {
  std::string pxc = fixture("gsas/pxc.lst");
  // after the last record, no blank line
  std::string listing = cut_before(pxc, " Histogram  2 reflection statistics");
  listing.pop_back();  // the blank line too
  expect_converted(convert(listing, parameters(2, 1, kPolarization)), fixture("gsas/pxc.sf"));
  // before any data heading: a file without reflections
  expect_converted(convert(cut_before(pxc, " Histogram  2 data"), parameters(2, 1, kPolarization)),
                   without_records(fixture("gsas/pxc.sf")));
}

// ------------------------------------------------------- stops and failures

struct Stop {
  const char* name;
  const char* listing;
  int histogram;
  std::string more, from, to;
  int status;
  std::string out;
  std::string err;  // "@" stands for the line number of the marker `line`
  std::string line;
};

class GsasStops : public testing::TestWithParam<Stop> {};

TEST_P(GsasStops, EndTheRunWithoutOutput) {
  const Stop& s = GetParam();
  std::string listing = edit(fixture(s.listing), s.from, s.to);
  Conversion c = convert(listing, parameters(s.histogram, 1, s.more));
  std::string err = s.err;
  if (std::size_t at = err.find('@'); at != std::string::npos) {
    err.replace(at, 1, std::to_string(line_of(listing, s.line)));
  }
  EXPECT_EQ(c.result.status, s.status);
  EXPECT_EQ(c.result.out, s.out);
  EXPECT_EQ(c.result.err, err);
  EXPECT_EQ(c.output, "(none)");
}

const std::string kIllegal = "\nIllegal character in numeric input\n";

INSTANTIATE_TEST_SUITE_P(
    Gsas, GsasStops,
    testing::Values(Stop{"TypePXE", "gsas/pxc.lst", 2, kPolarization, "  2  PXC", "  2  PXE", 0,
                         " Invalid diffraction type: PXE\n", "", ""},
                    // a constant-wavelength type without a Lorentz factor stops before
                    // the polarization line is looked for (there is none here)
                    Stop{"TypePRC", "gsas/pxc.lst", 2, "", "  2  PXC", "  2  PRC", 0,
                         " Invalid diffraction type: PRC\n", "", ""},
                    // without the blank line the histogram-2 line is skipped unread; the
                    // next tested line holding letters in columns 1-3 ends the run
                    Stop{"NoBlankBetweenPairLines", "gsas/pxc.lst", 2, kPolarization,
                         "0.00000\n\n  2  PXC", "0.00000\n  2  PXC", 2, "",
                         "sfconv: error in run.lst, line @ (reading histogram number)" + kIllegal +
                             "? READ(UNIT=INTERNAL,...\n",
                         " Hstgm  1"},
                    Stop{"LetterInTheBankLine", "gsas/pnt.lst", 2, kAngles, " Hstgm  2 PNT",
                         " Hstgm  B PNT", 2, "",
                         "sfconv: error in run.lst, line @ (reading histogram number)" + kIllegal +
                             "? READ(UNIT=INTERNAL,...\n",
                         " Hstgm  B PNT"},
                    Stop{"LetterInTheDataHeading", "gsas/pnt.lst", 2, kAngles, " Histogram  1 data",
                         " Histogram  I data", 2, "",
                         "sfconv: error in run.lst, line @ (reading histogram number)" + kIllegal +
                             "? READ(UNIT=INTERNAL,...\n",
                         " Histogram  I data"},
                    Stop{"LetterInAnIndex", "gsas/pxc.lst", 2, kPolarization, "     4  4  0  0",
                         "     4  4  O  0", 2, "",
                         "sfconv: error in run.lst, line @ (reading reflection record)" + kIllegal +
                             "? READ(UNIT=INTERNAL,...\n",
                         "     4  4  O  0"},
                    Stop{"LetterInTheCell", "gsas/pxc.lst", 2, kPolarization,
                         "5.431195  5.431195  5.431195", "5.431195  5.43l195  5.431195", 2, "",
                         "sfconv: error in run.lst, line @" + kIllegal + "? READ(UNIT=1,...\n",
                         " Values:"},
                    Stop{"NoPolarizationLine", "gsas/pxc.lst", 2, "", "", "", 2, "",
                         "sfconv: params.txt ended (line 12) while reading the polarization line\n"
                         "Attempt to read past end of file\n? READ(UNIT=5,...\n",
                         ""},
                    Stop{"OneValueOnThePolarizationLine", "gsas/pxc.lst", 2, "0.5\n", "", "", 2, "",
                         "sfconv: error in params.txt, line 13 (reading polarization)\n"
                         "Attempt to read past end of file\n? READ(UNIT=INTERNAL,...\n",
                         ""},
                    Stop{"BankNotOnTheAngleLine", "gsas/pnt.lst", 2, "90.0  /\n", "", "", 0,
                         "Invalid histogram number:   3\n", "", ""}),
    [](const testing::TestParamInfo<Stop>& i) { return i.param.name; });

// --------------------------------------------------------------- the limit

// pxc.lst's list holding `n` copies of its first record, then one record
// that is ignored (code of phase 2).
std::string listing_with(int n) {
  std::string pxc = fixture("gsas/pxc.lst");
  std::size_t first = pxc.find("\n     1  1  1  1") + 1;
  std::size_t end = pxc.find('\n', first) + 1;
  std::string record = pxc.substr(first, end - first);
  std::string listing = pxc.substr(0, first);
  for (int i = 0; i < n; ++i) listing += record;
  return listing + edit(record, " 1021 ", " 2021 ") + "\n";
}

TEST(Gsas, TwoThousandReflectionsAndNoMore) {
  std::string expected = fixture("gsas/pxc.sf");
  std::size_t nref = expected.find("# NREF1\n");
  std::size_t columns = expected.find('\n', nref + 8) + 1;
  std::size_t first = expected.find('\n', columns) + 1;
  std::string record = expected.substr(first, expected.find('\n', first) + 1 - first);
  std::string head =
      expected.substr(0, nref) + "# NREF1\n 2000\n" + expected.substr(columns, first - columns);
  std::string records;
  for (int i = 0; i < 2000; ++i) records += record;
  expect_converted(convert(listing_with(2000), parameters(2, 1, kPolarization)), head + records);

  Conversion c = convert(listing_with(2001), parameters(2, 1, kPolarization));
  EXPECT_EQ(c.result.status, 0);
  EXPECT_EQ(c.result.out, " The number of reflections is greater than  2000\n");
  EXPECT_EQ(c.output, "(none)");
}

// phase x 1000 + 21 outside 32 bits: no code matches, and nothing overflows
TEST(Gsas, AHugePhaseNumberMatchesNoRecord) {
  std::string expected =
      edit(without_records(fixture("gsas/pxc.sf")), "Phase No. =  1", "Phase No. =***");
  Conversion c = convert(fixture("gsas/pxc.lst"), parameters(2, 3000000, kPolarization));
  expect_converted(c, expected);
}

// ------------------------------------------------- one reflection's numbers

class GsasStore : public testing::Test {
 protected:
  void SetUp() override { reset_run_state(); }
  void TearDown() override { reset_run_state(); }
  static void type(const char* t) { CDATA.DIFTYP.assign(t); }
};

TEST_F(GsasStore, LorentzPolarizationFactors) {
  GsasRecord r;
  r.multiplicity = 6;
  r.intensity = 10.0f;
  r.amplitude = 1.0f;
  r.d = 1.54056f;
  RDATA.lambda = 1.54056f;  // sin(theta) = 0.5
  GsasWorking xray;
  xray.pm = 0.5f * 1.0f;
  xray.one_minus_p = 1.0f - 0.5f;

  type("PXC");
  EXPECT_EQ(gsas_store(0, r, xray), 1.4433757f);
  EXPECT_EQ(RDATA.IO[0], 86.60255f);

  type("PNC");
  EXPECT_EQ(gsas_store(1, r, GsasWorking{}), 2.3094010f);
  // (sn x sn) x cs: sn x (sn x cs) would give 1.8865787 here
  r.d = 1.3578f;
  EXPECT_EQ(gsas_store(1, r, GsasWorking{}), 1.8865784f);

  type("PNT");
  RDATA.twotheta = 90.0f;
  r.d = 2.0f;
  EXPECT_EQ(gsas_store(2, r, GsasWorking{}), 11.313708f);
  EXPECT_EQ(RDATA.WAVE[2], 2.828427f);
}

TEST_F(GsasStore, NeutronScalingAndThePhaseFraction) {
  type("PNC");
  RDATA.lambda = 1.0f;
  GsasRecord r;
  r.multiplicity = 1;
  r.d = 1.0f;
  r.intensity = 1.5f;
  r.amplitude = 4.0f;
  float lp = gsas_store(0, r, GsasWorking{});
  EXPECT_EQ(RDATA.FOABS[0], 20.0f);  // sqrt(4.0 x 100)
  EXPECT_EQ(RDATA.IO[0], lp * 150.0f);

  RDATA.PHFRAC = 0.5f;
  GsasWorking fraction;
  fraction.fraction_found = true;
  gsas_store(1, r, fraction);
  EXPECT_EQ(RDATA.FOABS[1], 20.0f);  // the amplitude is not divided
  EXPECT_EQ(RDATA.IO[1], lp * 300.0f);
}

TEST_F(GsasStore, PhaseAngles) {
  type("PXC");
  RDATA.lambda = 1.0f;
  GsasRecord r;
  r.d = 1.0f;
  r.intensity = 1.0f;
  r.amplitude = 400.0f;  // |Fo| 20
  r.phase = 45.0f;
  gsas_store(0, r, GsasWorking{});
  EXPECT_EQ(RDATA.FOR[0], 14.142136f);
  EXPECT_EQ(RDATA.FOI[0], 14.142136f);

  r.amplitude = 156.25f;  // |Fo| 12.5
  r.phase = 180.0f;
  gsas_store(1, r, GsasWorking{});
  EXPECT_EQ(RDATA.FOR[1], -12.5f);
  // the sine of single-precision pi is not zero
  EXPECT_NE(RDATA.FOI[1], 0.0f);
  EXPECT_NEAR(RDATA.FOI[1], -1.1e-6f, 0.05e-6f);
}

}  // namespace
}  // namespace sfconv
