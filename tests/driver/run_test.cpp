// The reader choice, and whole runs that a case directory cannot describe:
// other command lines. (tests/cases/run/ holds the stops and failures of runs
// with a parameter file; output_test.cpp the ways the output is written.)
#include <string>

#include <gtest/gtest.h>

#include "driver/driver.hpp"
#include "support/files.hpp"

namespace sfconv {
namespace {

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

}  // namespace
}  // namespace sfconv
