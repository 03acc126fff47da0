// FullProf outputs converted end to end: the searches of the output file, the
// reflection table read in step with the second file, and the failures.
#include <algorithm>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/files.hpp"
#include "support/fullprof_files.hpp"

namespace sfconv {
namespace {

using namespace test::fullprof;  // NOLINT: the fixture vocabulary

struct Conversion {
  test::RunResult result;
  std::string output;  // "(none)" when no output file was made
};

// Runs sfconv on run.out and run.fou (absent when nullopt) with the
// parameter file given.
Conversion convert(const std::string& parameters, const std::string& out,
                   const std::optional<std::string>& fou) {
  test::TempDir dir;
  dir.write("params.txt", parameters);
  dir.write("run.out", out);
  if (fou) dir.write("run.fou", *fou);
  Conversion c;
  c.result = test::run_sfconv(dir, "params.txt");
  c.output = dir.exists("run.sf") ? test::read_file(dir / "run.sf") : "(none)";
  return c;
}

std::string parameters(int histogram = 1, int phase = 1, const std::string& more = "") {
  return "run.out\nrun.fou\nrun.sf\n"
         "Silicon test\n"
         "F 227-1\n"
         "1.0      # E\n"
         "48 48 48\n"
         "0        # IAMP\n"
         "500.0    # total amplitude\n"
         "1.5406   # lambda0\n" +
         std::to_string(histogram) + "        # pattern\n" + std::to_string(phase) +
         "        # phase\n" + more;
}

std::string header(const std::string& a, const std::string& amplitude_line,
                   const std::string& nref1) {
  return "# Title\n"
         "Silicon test\n"
         "#        a         b         c     alpha      beta     gamma\n"
         "   " +
         a + "   " + a + "   " + a +
         "  90.00000  90.00000  90.00000\n"
         "#          POP1           POP2  IPTYP  JPH  JPK  JPL\n"
         "      0.0000000      0.0000000     -1    0    0    0      P\n"
         "#  NX   NY   NZ  SPG  SET  VOL\n"
         "   48   48   48  227    1    F\n"
         "# Total amplitudes      lambda0\n"
         "           500.000    1.5405999\n" +
         amplitude_line + "\n# NREF1\n" + nref1 + "\n";
}

const std::string kEline = "# E =  1.00000, Phase No. =  1";
const std::string kColumns =
    "#   h    k    l          Fo(r)          Fo(i)    sigma(|Fo|)           |Fo|          Io\n";

// The three reflections of most tables: intensities 1520.3, 0.0 and 88.7. The
// second record (modulus 77.7777) belongs to the dropped line and must appear
// nowhere.
const std::vector<Record> kRecords = {
    {1, 1, 1, 39.0, 0.0}, {2, 2, 0, 77.7777, 45.0}, {3, 1, 1, 12.5, 180.0}};
const std::string kTwoStored =
    "    1    1    1         39.000          0.000          0.500         39.000   1520.    \n"
    "    3    1    1        -12.500          0.000          0.664         12.500   88.70    \n";

std::string narrow_table() {
  return "\n" + kNarrowHeader + "\n" + narrow(1, 1, 1, 1, 1520.3) + narrow(2, 2, 2, 0, 0.0) +
         narrow(3, 3, 1, 1, 88.7);
}

// An X-ray run of pattern 1 with two cycles (a = 5.43090, then 5.43102) and
// the table given.
std::string silicon_head() {
  return preamble() + pattern_block(1) + cycle(1, 5.4309) + cycle(2, 5.43102) + table_marker(1, 1);
}

std::string silicon(const std::string& table) {
  return silicon_head() + table + table_end() + run_finished();
}

const std::string kSilicon2 = header("5.43102", kEline, "    2") + kColumns + kTwoStored;

TEST(Fullprof, ConvertsTheTableOfTheLastCycleWithItsSecondFile) {
  Conversion c = convert(parameters(), silicon(narrow_table()), second_file(1, kRecords));
  EXPECT_EQ(c.result.status, 0) << c.result.err;
  EXPECT_EQ(c.result.out, "");
  EXPECT_EQ(c.result.err, "");
  EXPECT_EQ(c.output, kSilicon2);
}

struct TableCase {
  const char* name;
  std::string table;
};

void PrintTo(const TableCase& c, std::ostream* os) {
  *os << c.name;
}

class FullprofTables : public testing::TestWithParam<TableCase> {};

// Every table below holds the same three reflections; headers and blank lines
// consume no record of the second file, so the pairs stay the same.
TEST_P(FullprofTables, ReadTheSameThreeReflections) {
  Conversion c = convert(parameters(), silicon(GetParam().table), second_file(1, kRecords));
  EXPECT_EQ(c.result.status, 0) << c.result.err;
  EXPECT_EQ(c.output, kSilicon2);
}

INSTANTIATE_TEST_SUITE_P(
    Fullprof, FullprofTables,
    testing::Values(TableCase{"Narrow", narrow_table()},
                    // Iobs in columns 74-84; columns 64-74 hold Icalc
                    TableCase{"Wide", "\n" + kWideHeader + "\n" + wide(1, 1, 1, 1, 1520.3) +
                                          wide(2, 2, 2, 0, 0.0) + wide(3, 3, 1, 1, 88.7)},
                    TableCase{"BlankAndRepeatedHeaders",
                              "\n" + kNarrowHeader + "\n" + narrow(1, 1, 1, 1, 1520.3) + "\n\n" +
                                  kNarrowHeader + "\n" + narrow(2, 2, 2, 0, 0.0) + "    \n" +
                                  kWideHeader + wide(3, 3, 1, 1, 88.7)},
                    // FullProf repeats the header every 60 reflections
                    TableCase{"HeaderRightBeforeTheEnd",
                              "\n" + kNarrowHeader + narrow(1, 1, 1, 1, 1520.3) +
                                  narrow(2, 2, 2, 0, 0.0) + narrow(3, 3, 1, 1, 88.7) + "\n" +
                                  kNarrowHeader}),
    [](const testing::TestParamInfo<TableCase>& i) { return i.param.name; });

TEST(Fullprof, TakesTheSecondPatternBlockAndItsTable) {
  // Pattern 1 is time of flight: were its block taken, the missing
  // detector-angle line would end the run.
  std::string out = preamble() + pattern_block(1, "neutron", true) + pattern_block(2) +
                    cycle_marker(1) + phase_block(1) + profile(1, 3.9) + profile(2, 5.43102) +
                    table_marker(1, 1) + "\n" + kNarrowHeader + narrow(1, 2, 2, 2, 500.0) +
                    table_end() + table_marker(2, 1) + narrow_table() + table_end() +
                    run_finished();
  Conversion c = convert(parameters(2), out, second_file(1, kRecords));
  EXPECT_EQ(c.result.status, 0) << c.result.err;
  EXPECT_EQ(c.output, kSilicon2);
}

TEST(Fullprof, PassesOverTablesOfOtherPatternsAndPhases) {
  std::string other = "\n" + kNarrowHeader + narrow(1, 9, 9, 9, 500.0) + table_end();
  std::string out = preamble() + pattern_block(1) + cycle(1, 5.43102) + table_marker(1, 2) + other +
                    table_marker(2, 1) + other + table_marker(1, 1) + narrow_table() + table_end() +
                    run_finished();
  EXPECT_EQ(convert(parameters(), out, second_file(1, kRecords)).output, kSilicon2);
}

TEST(Fullprof, ReadsAfterTheLastOfSevenCycles) {
  std::string out = preamble() + pattern_block(1);
  for (int n = 1; n <= 6; ++n) out += cycle(n, 5.4300 + 0.0001 * n);
  out += cycle(7, 5.43102);
  // neither is a cycle marker: were they taken, the reading would resume
  // after them and find no cell
  out += "  => CYCLE No.:    8\n => cycle No.:    9\n";
  out += table_marker(1, 1) + narrow_table() + table_end() + run_finished();
  EXPECT_EQ(convert(parameters(), out, second_file(1, kRecords)).output, kSilicon2);
}

TEST(Fullprof, ARepeatedLastCycleNumberIsTheLaterBlock) {
  // A second convergence block restarts at cycle 1; its values are the final ones.
  std::string out = preamble() + pattern_block(1) + cycle(1, 5.4309) + cycle(1, 5.43102) +
                    table_marker(1, 1) + narrow_table() + table_end() + run_finished();
  EXPECT_EQ(convert(parameters(), out, second_file(1, kRecords)).output, kSilicon2);
}

TEST(Fullprof, WithoutCycleMarkersTheSecondPassStartsAtTheFirstLine) {
  std::string out = preamble() + pattern_block(1) + phase_block(1) + profile(1, 5.43102) +
                    table_marker(1, 1) + narrow_table() + table_end() + run_finished();
  EXPECT_EQ(convert(parameters(), out, second_file(1, kRecords)).output, kSilicon2);
}

const std::string kTofEline =
    "# E =  1.00000,  histogram =  1,  nbank =  1, Phase No. =  1,  2theta =  90.00";
const std::string kTofColumns =
    "#   h    k    l          Fo(r)          Fo(i)    sigma(|Fo|)           |Fo|          Io"
    "  Wavelength\n";

TEST(Fullprof, TimeOfFlightTakesItsColumnsWhateverTheHeader) {
  // A reflection line before any header, then a wide header: neither moves
  // the time-of-flight columns.
  std::string table = "\n" + tof(1, 1, 1, 1, 1520.3, 1.0) + "\n" + kWideHeader +
                      tof(2, 2, 2, 0, 0.0, 0.8) + kNarrowHeader + tof(3, 3, 1, 1, 88.7, 0.5) +
                      tof(4, 2, 2, 0, 20457.5, 1.6375);
  std::string out = preamble() + pattern_block(1, "neutron", true) + cycle(1, 5.43102) +
                    table_marker(1, 1) + table + table_end() + run_finished();
  std::vector<Record> records = kRecords;
  records.push_back({2, 2, 0, 7.25, 90.0});
  Conversion c =
      convert(parameters(1, 1, "90.0 145.0 /   # detector banks\n"), out, second_file(1, records));
  EXPECT_EQ(c.result.status, 0) << c.result.err;
  EXPECT_EQ(c.output,
            header("5.43102", kTofEline, "    3") + kTofColumns +
                "    1    1    1         39.000          0.000          0.500         39.000"
                "   1520.          1.4142\n"
                "    3    1    1        -12.500          0.000          0.664         12.500"
                "   88.70          0.7071\n"
                "    2    2    0          0.000          7.250          0.025          7.250"
                "  2.0458E+04      2.3158\n");
}

TEST(Fullprof, NeutronWithoutTimeOfFlightReadsNoDetectorAngle) {
  // The parameter file has no detector-angle line; none is needed.
  std::string out = preamble() + pattern_block(1, "neutron") + cycle(1, 5.43102) +
                    table_marker(1, 1) + narrow_table() + table_end() + run_finished();
  EXPECT_EQ(convert(parameters(), out, second_file(1, kRecords)).output, kSilicon2);
}

TEST(Fullprof, TheEndOfTheSecondFileEndsTheTable) {
  std::string table = "\n" + kNarrowHeader;
  std::vector<Record> records;
  for (int n = 1; n <= 7; ++n) {
    table += narrow(n, n, 0, 0, 100.0 * n);
    if (n <= 5) records.push_back({n, 0, 0, 2.0 * n, 0.0});
  }
  Conversion c = convert(parameters(), silicon(table), second_file(1, records));
  EXPECT_EQ(c.result.status, 0) << c.result.err;
  EXPECT_EQ(c.output,
            header("5.43102", kEline, "    5") + kColumns +
                "    1    0    0          2.000          0.000          0.100          2.000"
                "   100.0    \n"
                "    2    0    0          4.000          0.000          0.141          4.000"
                "   200.0    \n"
                "    3    0    0          6.000          0.000          0.173          6.000"
                "   300.0    \n"
                "    4    0    0          8.000          0.000          0.200          8.000"
                "   400.0    \n"
                "    5    0    0         10.000          0.000          0.224         10.000"
                "   500.0    \n");
}

TEST(Fullprof, ADashedLineRightAfterTheHeaderIsAnEmptyTable) {
  for (const char* end : {"     ---------------", " -------------------"}) {
    std::string out = preamble() + pattern_block(1) + cycle(1, 5.43102) + table_marker(1, 1) +
                      "\n" + kNarrowHeader + end + "-------\n" + run_finished();
    Conversion c = convert(parameters(), out, second_file(1, kRecords));
    EXPECT_EQ(c.result.status, 0) << c.result.err;
    EXPECT_EQ(c.output, header("5.43102", kEline, "    0") + kColumns) << end;
    // The second file is opened and searched all the same.
    c = convert(parameters(), out, second_file(2, kRecords));
    EXPECT_EQ(c.result.status, 2);
    EXPECT_EQ(c.output, "(none)");
  }
}

struct LimitCase {
  const char* name;
  int lines;        // reflection lines with intensity 100.0
  bool zero_after;  // one more line, with intensity 0.0
  int records;
  std::string nref1;  // "" for the stop
};

void PrintTo(const LimitCase& c, std::ostream* os) {
  *os << c.name;
}

class FullprofLimit : public testing::TestWithParam<LimitCase> {};

TEST_P(FullprofLimit, TwoThousandReflectionsAtMost) {
  const LimitCase& p = GetParam();
  std::string table = "\n" + kNarrowHeader;
  for (int n = 1; n <= p.lines; ++n) table += narrow(n, 1, 2, 3, 100.0);
  if (p.zero_after) table += narrow(p.lines + 1, 9, 9, 9, 0.0);
  std::vector<Record> records(static_cast<std::size_t>(p.records), Record{1, 2, 3, 5.0, 0.0});
  Conversion c = convert(parameters(), silicon(table), second_file(1, records));
  EXPECT_EQ(c.result.status, 0) << c.result.err;
  if (p.nref1.empty()) {
    EXPECT_EQ(c.result.out, " The number of reflections is greater than  2000\n");
    EXPECT_EQ(c.output, "(none)");
    return;
  }
  std::string expected = header("5.43102", kEline, p.nref1) + kColumns;
  for (int n = 0; n < 2000; ++n) {
    expected +=
        "    1    2    3          5.000          0.000          0.250          5.000"
        "   100.0    \n";
  }
  EXPECT_EQ(c.result.out, "");
  EXPECT_EQ(c.output, expected);
}

INSTANTIATE_TEST_SUITE_P(Fullprof, FullprofLimit,
                         testing::Values(LimitCase{"Exactly2000", 2000, false, 2000, " 2000"},
                                         LimitCase{"Line2001", 2001, false, 2001, ""},
                                         // a dropped line never reaches the limit
                                         LimitCase{"Zero2001", 2000, true, 2001, " 2000"},
                                         // nor a line whose record is missing
                                         LimitCase{"NoRecord2001", 2001, false, 2000, " 2000"}),
                         [](const testing::TestParamInfo<LimitCase>& i) { return i.param.name; });

struct FailureCase {
  const char* name;
  std::string parameters;
  std::string out;
  std::optional<std::string> fou;
  std::string err;  // the whole report
};

void PrintTo(const FailureCase& c, std::ostream* os) {
  *os << c.name;
}

class FullprofFailures : public testing::TestWithParam<FailureCase> {};

TEST_P(FullprofFailures, EndWithTheReportAndNoOutput) {
  const FailureCase& p = GetParam();
  Conversion c = convert(p.parameters, p.out, p.fou);
  EXPECT_EQ(c.result.status, 2);
  EXPECT_EQ(c.result.out, "");
  EXPECT_EQ(c.result.err, p.err);
  EXPECT_EQ(c.output, "(none)");
}

std::string lines_of(const std::string& text) {
  return std::to_string(std::count(text.begin(), text.end(), '\n'));
}

// The number of the line where `text` first holds `what`.
std::string line_of(const std::string& text, const std::string& what) {
  std::string before = text.substr(0, text.find(what));
  return std::to_string(std::count(before.begin(), before.end(), '\n') + 1);
}

std::string unfinished() {
  return preamble() + pattern_block(1) + cycle(1, 5.43102) + table_marker(1, 1) + narrow_table() +
         table_end();
}

const std::string kBeforeHeader = "\n" + narrow(1, 1, 1, 1, 1520.3);
const std::string kBadIndices = "\n" + kNarrowHeader + "    2   1      a   b   c     8\n";

// The output ends inside the table (" => Run finished" stands before it).
std::string table_without_end() {
  return preamble() + pattern_block(1) + cycle(1, 5.43102) + run_finished() + table_marker(1, 1) +
         narrow_table();
}

INSTANTIATE_TEST_SUITE_P(
    Fullprof, FullprofFailures,
    testing::Values(
        FailureCase{"SecondFileOfAnotherPhase", parameters(), silicon(narrow_table()),
                    second_file(2, kRecords),
                    "sfconv: run.fou ended (line 5) while looking for \" Phase no.:\" or \" Phase "
                    "No.:\" of phase 1\n"
                    "Attempt to read past end of file\n? READ(UNIT=2,...\n"},
        FailureCase{"NoRunFinished", parameters(), unfinished(), second_file(1, kRecords),
                    "sfconv: run.out ended (line " + lines_of(unfinished()) +
                        ") while looking for \" => Run finished\"\n"
                        "Attempt to read past end of file\n? READ(UNIT=1,...\n"},
        FailureCase{"NoSuchPattern", parameters(3), silicon(narrow_table()),
                    second_file(1, kRecords),
                    "sfconv: run.out ended (line " + lines_of(silicon(narrow_table())) +
                        ") while looking for \" ==> CONDITIONS OF THIS RUN FOR PATTERN No.:\" of "
                        "pattern 3\n"
                        "Attempt to read past end of file\n? READ(UNIT=1,...\n"},
        // The search for phase 2 goes on past the table to a " => Phase:" line,
        // whose number cannot be read
        FailureCase{
            "NoSuchPhase", parameters(1, 2), silicon(narrow_table()), second_file(2, kRecords),
            "sfconv: error in run.out, line " + line_of(silicon(narrow_table()), " => Phase:  1") +
                " (reading the phase number)\n"
                "Illegal character in numeric input\n? READ(UNIT=INTERNAL,...\n"},
        FailureCase{"ReflectionBeforeTheHeader", parameters(),
                    silicon(kBeforeHeader + kNarrowHeader), second_file(1, kRecords),
                    "sfconv: error in run.out, line " + lines_of(silicon_head() + kBeforeHeader) +
                        ": no table header before this line\n"
                        "Reflection line before the table header\n? READ(UNIT=1,...\n"},
        FailureCase{"NoSecondFile", parameters(), silicon(narrow_table()), std::nullopt,
                    "sfconv: cannot open \"run.fou\"\n"
                    "Cannot open file: No such file or directory\n? OPEN(UNIT=2,...\n"},
        FailureCase{"LettersInTheIndexColumns", parameters(), silicon(kBadIndices),
                    second_file(1, kRecords),
                    "sfconv: error in run.out, line " + lines_of(silicon_head() + kBadIndices) +
                        " (reading a reflection line)\n"
                        "Illegal character in numeric input\n? READ(UNIT=INTERNAL,...\n"},
        FailureCase{"LettersInTheModulus", parameters(), silicon(narrow_table()),
                    " Phase no.:   1\n   1   1   1     unknown\n",
                    "sfconv: error in run.fou, line 2\n"
                    "Illegal character in numeric input\n? READ(UNIT=2,...\n"},
        FailureCase{"TableWithoutEnd", parameters(), table_without_end(), second_file(1, kRecords),
                    "sfconv: run.out ended (line " + lines_of(table_without_end()) +
                        ") while reading the reflection table, which ends with a dashed line\n"
                        "Attempt to read past end of file\n? READ(UNIT=1,...\n"}),
    [](const testing::TestParamInfo<FailureCase>& i) { return i.param.name; });

// FullProf 6.x: the table marker with "Phase No.:", the table two columns
// further right, the Fourier file as second file.

std::string narrow_table6() {
  return "\n" + shifted(kNarrowHeader) + "\n" + shifted(narrow(1, 1, 1, 1, 1520.3)) +
         shifted(narrow(2, 2, 2, 0, 0.0)) + shifted(narrow(3, 3, 1, 1, 88.7));
}

std::string silicon6(const std::string& table) {
  return preamble() + pattern_block(1) + cycle(1, 5.4309) + cycle(2, 5.43102) +
         table_marker6(1, 2) + "\n" + kNarrowHeader + table_end() + table_marker6(1, 1) + table +
         table_end() + run_finished();
}

const std::string kFourier = fourier_file(1, kRecords);

class Fullprof6Tables : public testing::TestWithParam<TableCase> {};

// The same three reflections as in the older layouts give the same file.
TEST_P(Fullprof6Tables, ReadTheSameThreeReflections) {
  Conversion c = convert(parameters(), silicon6(GetParam().table), kFourier);
  EXPECT_EQ(c.result.status, 0) << c.result.err;
  EXPECT_EQ(c.output, kSilicon2);
}

INSTANTIATE_TEST_SUITE_P(
    Fullprof, Fullprof6Tables,
    testing::Values(
        TableCase{"Narrow", narrow_table6()},
        TableCase{"Wide", "\n" + shifted(kWideHeader) + shifted(wide(1, 1, 1, 1, 1520.3)) +
                              shifted(wide(2, 2, 2, 0, 0.0)) + shifted(wide(3, 3, 1, 1, 88.7))},
        // each header sets the columns of the lines after it, shifted or not
        TableCase{"MixedHeaders",
                  "\n" + shifted(kNarrowHeader) + shifted(narrow(1, 1, 1, 1, 1520.3)) +
                      kWideHeader + wide(2, 2, 2, 0, 0.0) + shifted(kWideHeader) + "\n" +
                      shifted(wide(3, 3, 1, 1, 88.7)) + "\n" + shifted(kNarrowHeader)}),
    [](const testing::TestParamInfo<TableCase>& i) { return i.param.name; });

TEST(Fullprof6, EitherSecondFileWithEitherTableLayout) {
  // an older second file with a FullProf 6.x table
  Conversion c = convert(parameters(), silicon6(narrow_table6()), second_file(1, kRecords));
  EXPECT_EQ(c.result.status, 0) << c.result.err;
  EXPECT_EQ(c.output, kSilicon2);
  // a Fourier file with an older table
  c = convert(parameters(), silicon(narrow_table()), kFourier);
  EXPECT_EQ(c.result.status, 0) << c.result.err;
  EXPECT_EQ(c.output, kSilicon2);
  // a file holding both markers: the older one is taken, records in columns
  std::string both = kFourier + second_file(1, kRecords);
  EXPECT_EQ(convert(parameters(), silicon(narrow_table()), both).output, kSilicon2);
}

TEST(Fullprof6, OnlyAShiftedHeaderMovesTheTimeOfFlightColumns) {
  std::string table = "\n" + tof(1, 1, 1, 1, 1520.3, 1.0) + shifted(kTofHeader) +
                      shifted(tof(2, 2, 2, 0, 0.0, 0.8)) + kNarrowHeader +
                      shifted(tof(3, 3, 1, 1, 88.7, 0.5)) + "\n" + shifted(kTofHeader) +
                      shifted(tof(4, 2, 2, 0, 20457.5, 1.6375));
  std::string out = preamble() + pattern_block(1, "neutron", true) + cycle(1, 5.43102) +
                    table_marker6(1, 1) + table + table_end() + run_finished();
  std::vector<Record> records = kRecords;
  records.push_back({2, 2, 0, 7.25, 90.0});
  Conversion c = convert(parameters(1, 1, "90.0 /\n"), out, fourier_file(1, records));
  EXPECT_EQ(c.result.status, 0) << c.result.err;
  EXPECT_EQ(c.output,
            header("5.43102", kTofEline, "    3") + kTofColumns +
                "    1    1    1         39.000          0.000          0.500         39.000"
                "   1520.          1.4142\n"
                "    3    1    1        -12.500          0.000          0.664         12.500"
                "   88.70          0.7071\n"
                "    2    2    0          0.000          7.250          0.025          7.250"
                "  2.0458E+04      2.3158\n");
}

TEST(Fullprof6, TheEndOfTheFourierFileEndsTheTable) {
  std::vector<Record> two(kRecords.begin(), kRecords.begin() + 2);
  Conversion c = convert(parameters(), silicon6(narrow_table6()), fourier_file(1, two));
  EXPECT_EQ(c.result.status, 0) << c.result.err;
  EXPECT_EQ(c.output, header("5.43102", kEline, "    1") + kColumns + kTwoStored.substr(0, 88));
}

std::string with_record(std::size_t n, const std::string& record) {
  std::string fou = kFourier;
  std::size_t at = 0;
  for (std::size_t i = 0; i <= n; ++i) at = fou.find('\n', at) + 1;
  return fou.substr(0, at) + record + fou.substr(fou.find('\n', at) + 1);
}

const std::string kSilicon6 = silicon6(narrow_table6());

INSTANTIATE_TEST_SUITE_P(
    Fullprof6, FullprofFailures,
    testing::Values(
        // the record of the dropped line is checked too
        FailureCase{"Mismatch", parameters(), kSilicon6,
                    with_record(1, "   2   0   2   77.78   45.00\n"),
                    "sfconv: reflection 2 2 0 on line " + line_of(kSilicon6, "    2   1      2") +
                        " of run.out, but 2 0 2 on line 3 of run.fou\n"
                        "Reflection mismatch between the output file and the second file\n"
                        "? READ(UNIT=2,...\n"},
        FailureCase{"FewerThanFiveValues", parameters(), kSilicon6,
                    with_record(2, "   3   1   1   12.50\n"),
                    "sfconv: error in run.fou, line 4\n"
                    "Attempt to read past end of file\n? READ(UNIT=2,...\n"},
        FailureCase{"LettersInAValue", parameters(), kSilicon6,
                    with_record(0, "   1   1   1   39.00    zero\n"),
                    "sfconv: error in run.fou, line 2\n"
                    "Illegal character in numeric input\n? READ(UNIT=2,...\n"},
        FailureCase{"FourierFileOfAnotherPhase", parameters(), kSilicon6, fourier_file(2, kRecords),
                    "sfconv: run.fou ended (line 4) while looking for \" Phase no.:\" or \" Phase "
                    "No.:\" of phase 1\n"
                    "Attempt to read past end of file\n? READ(UNIT=2,...\n"}),
    [](const testing::TestParamInfo<FailureCase>& i) { return i.param.name; });

}  // namespace
}  // namespace sfconv
