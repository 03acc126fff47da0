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
  test::RunResult r = run_sfconv(dir, "nothere.txt");
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
            "usage: sfconv [-v] [--] PARAMETER-FILE\n"
            "No parameter file was named on the command line\n"
            "? OPEN(UNIT=5,...\n");
}

TEST(Run, HelpAndVersion) {
  test::TempDir dir;
  for (const char* flag : {"-h", "--help"}) {
    test::RunResult r = run_sfconv(dir, flag);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out.rfind("usage: sfconv [-v] [--] PARAMETER-FILE\n", 0), 0u) << r.out;
  }
  test::RunResult v = run_sfconv(dir, "--version");
  EXPECT_EQ(v.status, 0);
  EXPECT_EQ(v.out, "sfconv " SFCONV_VERSION "\n");
}

// An unknown option, or anything after the parameter file, was once taken
// for a parameter file or ignored.
TEST(Run, UsageErrors) {
  test::TempDir dir;
  dir.write("a.txt", "x.txt\n");
  struct Case {
    const char* args;
    const char* cause;
  };
  for (Case c :
       {Case{"-V a.txt", "Unknown option: -V"}, Case{"--foo", "Unknown option: --foo"},
        Case{"- a.txt", "Unknown option: -"},
        Case{"a.txt b.txt",
             "Argument after the parameter file: b.txt (sfconv reads one parameter file)"},
        Case{"a.txt -v", "Argument after the parameter file: -v (sfconv reads one parameter file)"},
        Case{"-v -- a.txt b.txt",
             "Argument after the parameter file: b.txt (sfconv reads one parameter file)"}}) {
    test::RunResult r = run_sfconv(dir, c.args);
    EXPECT_EQ(r.status, 2) << c.args;
    EXPECT_EQ(r.out, "") << c.args;
    EXPECT_EQ(r.err, std::string("usage: sfconv [-v] [--] PARAMETER-FILE\n") + c.cause +
                         "\n? OPEN(UNIT=5,...\n")
        << c.args;
  }
  // "--" ends the options: a parameter file named -p.txt
  dir.write("-p.txt", "x.txt\n");
  test::RunResult r = run_sfconv(dir, "-v -- -p.txt");
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, " The extension of a standard output file should be lst or out\n");
}

}  // namespace
}  // namespace sfconv
