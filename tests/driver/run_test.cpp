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
