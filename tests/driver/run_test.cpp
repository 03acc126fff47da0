// Whole runs of the sfconv binary: the reader choice, the stops, the error
// reports and exit statuses, and the output file's creation.
#include <string>

#include <gtest/gtest.h>

#include "driver/driver.hpp"
#include "support/files.hpp"
#include "support/fos_writer.hpp"

namespace sfconv {
namespace {

using test::report_tail;
using test::run_sfconv;

TEST(ReaderChoice, TheFirstExtensionFoundAnywhereInTheName) {
  struct Case {
    const char* name;
    char reader;
  };
  for (Case c : {Case{"run1.lst", 'G'}, Case{"run1.out", 'F'}, Case{"run1.fos", 'R'},
                 Case{"data.lst.out", 'G'}, Case{"a.out.fos", 'F'}, Case{"my.outline.txt", 'F'},
                 Case{"RUN1.LST", ' '}, Case{"run1.txt", ' '}, Case{"", ' '}}) {
    EXPECT_EQ(reader_for(c.name), c.reader) << c.name;
  }
}

const std::string kKolmexParameters =
    "crystal.fos\n"
    "crystal.sf\n"
    "1.0      # E\n"
    "0        # IAMP\n"
    "1.5406   # lambda0\n";

const std::string kKolmexOutput =
    "# Title\n"
    "test structure\n"
    "#        a         b         c     alpha      beta     gamma\n"
    "   5.00000   5.00000   5.00000  90.00000  90.00000  90.00000\n"
    "#          POP1           POP2  IPTYP  JPH  JPK  JPL\n"
    "      0.0000000      0.0000000     -1    0    0    0      P\n"
    "#  NX   NY   NZ  SPG  SET  VOL\n"
    "   32   32   32  221    1    P\n"
    "# Total amplitudes      lambda0\n"
    "           100.000    1.5405999\n"
    "# E =  1.00000, Phase No. =  1\n"
    "# NREF1\n"
    "    1\n"
    "#   h    k    l          Fo(r)          Fo(i)    sigma(|Fo|)           |Fo|          Io\n"
    "    1    1    1         10.000          0.000          0.250         10.000   400.0    \n";

test::FosFile one_reflection() {
  test::FosFile f;
  f.reflections = {{1, 1, 1, 10.0f, 0.0f, 10.0f, 400.0f}};
  return f;
}

TEST(Run, ANormalRunPrintsNothingAndWritesTheFile) {
  test::TempDir dir;
  dir.write("params.txt", kKolmexParameters);
  dir.write("crystal.fos", one_reflection().bytes());
  test::RunResult r = run_sfconv(dir, "params.txt");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(test::read_file(dir / "crystal.sf"), kKolmexOutput);
  EXPECT_EQ(dir.listing(), "crystal.fos\ncrystal.sf\nparams.txt\n");
}

TEST(Run, ACrLfParameterFileWithTabsAndComments) {
  test::TempDir dir;
  dir.write("params.txt",
            "# KOLMEX run\r\n\r\n\t crystal.fos\t# input\r\n  crystal.sf # output\r\n"
            "\t1.0\t# E\r\n  # IAMP next\r\n0\r\n1.5406,\t2.0  # lambda0\r\n");
  dir.write("crystal.fos", one_reflection().bytes());
  test::RunResult r = run_sfconv(dir, "params.txt ignored-argument");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(test::read_file(dir / "crystal.sf"), kKolmexOutput);
}

TEST(Run, AnEarlierOutputFileIsReplacedWhole) {
  test::TempDir dir;
  dir.write("params.txt", kKolmexParameters);
  dir.write("crystal.fos", one_reflection().bytes());
  dir.write("crystal.sf", std::string(100000, 'x'));
  EXPECT_EQ(run_sfconv(dir, "params.txt").status, 0);
  EXPECT_EQ(test::read_file(dir / "crystal.sf"), kKolmexOutput);
}

struct StopCase {
  const char* name;
  std::string parameters;
  std::string line;
};

class Stops : public testing::TestWithParam<StopCase> {};

// A recognised stop prints its line, exits 0 and creates no output file; the
// refinement program's file is never opened (it does not exist here).
TEST_P(Stops, PrintTheirLineAndExitZero) {
  test::TempDir dir;
  dir.write("params.txt", GetParam().parameters);
  dir.write("out.sf", "earlier\n");
  test::RunResult r = run_sfconv(dir, "params.txt");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, GetParam().line + "\n");
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(dir.listing(), "out.sf\nparams.txt\n");
  EXPECT_EQ(test::read_file(dir / "out.sf"), "earlier\n");
}

INSTANTIATE_TEST_SUITE_P(
    Run, Stops,
    testing::Values(
        // nothing after the first line is read: the rest may be missing
        StopCase{"Extension", "RUN1.LST\n",
                 " The extension of a standard output file should be lst or out"},
        StopCase{"Iamp", "run.lst\nout.sf\ntitle\nP 1\n1.0\n8 8 8\n2\n", " IAMP should be 0 or 1"},
        StopCase{"IampFullProf", "run.out\nrun.fou\nout.sf\ntitle\nP 1\n1.0\n8 8 8\n-1\n",
                 " IAMP should be 0 or 1"},
        StopCase{"Histogram", "run.lst\nout.sf\ntitle\nP 1\n1.0\n8 8 8\n0\n5.0\n1.5\n-1\n",
                 " Invalid histogram number:  -1"}),
    [](const testing::TestParamInfo<StopCase>& i) { return i.param.name; });

struct FailureCase {
  const char* name;
  std::string parameters;
  std::string tail;  // the report's second and third lines
  std::string header;
};

class Failures : public testing::TestWithParam<FailureCase> {};

TEST_P(Failures, EndWithTheReportAndExitTwo) {
  test::TempDir dir;
  dir.write("params.txt", GetParam().parameters);
  test::RunResult r = run_sfconv(dir, "params.txt");
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(report_tail(r.err), GetParam().tail);
  EXPECT_EQ(r.err.substr(0, r.err.find('\n')), GetParam().header);
  EXPECT_EQ(dir.listing(), "params.txt\n");
}

INSTANTIATE_TEST_SUITE_P(
    Run, Failures,
    testing::Values(
        FailureCase{"MissingInputFile", "missing.fos\nout.sf\n1.0\n0\n1.5\n",
                    "Cannot open file: No such file or directory\n? OPEN(UNIT=1,...\n",
                    "sfconv: cannot open \"missing.fos\""},
        FailureCase{"ShortParameterFile", "x.fos\nout.sf\n1.0\n# no IAMP\n\n",
                    "Attempt to read past end of file\n? READ(UNIT=5,...\n",
                    "sfconv: params.txt ended (line 5) while reading the IAMP line"},
        FailureCase{"NoOutputName", "x.lst # only the input\n",
                    "Attempt to read past end of file\n? READ(UNIT=5,...\n",
                    "sfconv: params.txt ended (line 1) while reading the output file name line"},
        FailureCase{"BadValueLine", "x.fos\nout.sf\n1.0\n0.5\n1.5\n",
                    "Illegal character in numeric input\n? READ(UNIT=INTERNAL,...\n",
                    "sfconv: error in params.txt, line 4 (reading IAMP)"},
        FailureCase{"TooFewValues", "x.lst\nout.sf\nt\nP 1\n1\n8 8\n",
                    "Attempt to read past end of file\n? READ(UNIT=INTERNAL,...\n",
                    "sfconv: error in params.txt, line 6 (reading NX NY NZ)"},
        FailureCase{"EmptyParameterFile", "",
                    "Attempt to read past end of file\n? READ(UNIT=5,...\n",
                    "sfconv: params.txt is empty while reading the input file name line"}),
    [](const testing::TestParamInfo<FailureCase>& i) { return i.param.name; });

TEST(Run, AMissingParameterFile) {
  test::TempDir dir;
  test::RunResult r = run_sfconv(dir, "nothere.txt");
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(report_tail(r.err), "Cannot open file: No such file or directory\n? OPEN(UNIT=5,...\n");
}

TEST(Run, NoArgumentIsAUsageReport) {
  test::TempDir dir;
  test::RunResult r = run_sfconv(dir, "");
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(r.err,
            "usage: sfconv PARAMETER-FILE\n"
            "No parameter file was named on the command line\n"
            "? OPEN(UNIT=5,...\n");
}

TEST(Run, HelpAndVersion) {
  test::TempDir dir;
  for (const char* flag : {"-h", "--help"}) {
    test::RunResult r = run_sfconv(dir, flag);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out.rfind("usage: sfconv PARAMETER-FILE\n", 0), 0u) << r.out;
  }
  test::RunResult v = run_sfconv(dir, "--version");
  EXPECT_EQ(v.status, 0);
  EXPECT_EQ(v.out, "sfconv " SFCONV_VERSION "\n");
}

TEST(Run, AnOutputFileThatCannotBeCreated) {
  test::TempDir dir;
  dir.write("params.txt", "crystal.fos\nno/such/dir/out.sf\n1.0\n0\n1.5\n");
  dir.write("crystal.fos", one_reflection().bytes());
  test::RunResult r = run_sfconv(dir, "params.txt");
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(report_tail(r.err),
            "Cannot create file: No such file or directory\n? OPEN(UNIT=4,...\n");
}

TEST(Run, AFailedWriteLeavesTheEarlierFileAndNoTemporary) {
  test::TempDir dir;
  dir.write("params.txt", kKolmexParameters);
  dir.write("crystal.fos", one_reflection().bytes());
  dir.write("crystal.sf", "earlier\n");
  // A file-size limit of one block (512 bytes): the file's write fails with
  // EFBIG, while the short report still fits.
  test::RunResult r = run_sfconv(dir, "params.txt", "trap '' XFSZ; ulimit -f 1;");
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(report_tail(r.err).substr(report_tail(r.err).find('\n') + 1), "? WRITE(UNIT=4,...\n");
  EXPECT_EQ(test::read_file(dir / "crystal.sf"), "earlier\n");
  EXPECT_EQ(dir.listing(), "crystal.fos\ncrystal.sf\nparams.txt\n");
}

}  // namespace
}  // namespace sfconv
