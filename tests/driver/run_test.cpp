// The reader choice, and whole runs that a case directory cannot describe:
// other command lines, and a write that fails. (tests/cases/run/ holds the
// stops and failures of runs with a parameter file.)
#include <string>

#include <gtest/gtest.h>

#include "driver/driver.hpp"
#include "support/files.hpp"

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

TEST(Run, AMissingParameterFile) {
  test::TempDir dir;
  test::RunResult r = run_sfconv(dir, "nothere.txt further arguments");
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(r.err,
            "sfconv: cannot open \"nothere.txt\"\n"
            "Cannot open file: No such file or directory\n? OPEN(UNIT=5,...\n");
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

TEST(Run, AFailedWriteLeavesTheEarlierFileAndNoTemporary) {
  test::TempDir dir;
  dir.write("params.txt", "crystal.fos\ncrystal.sf\n1.0\n0\n1.5406\n");
  dir.write("crystal.fos", test::read_file(SFCONV_EXAMPLES "/kolmex/nacl.fos"));
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
