// What a user is told: the summary of -v, the warnings after a successful
// run, the space-group line check, and the small things a hand-written
// parameter file brings (a byte-order mark, a folder named like a file).
#include <filesystem>
#include <functional>
#include <string>

#include <gtest/gtest.h>

#include "support/examples.hpp"
#include "support/files.hpp"

namespace sfconv {
namespace {

namespace fs = std::filesystem;
using test::example;
using test::replace_line;
using test::run_sfconv;
using test::TempDir;

TEST(Summary, SaysWhatWasReadAndWritten) {
  struct Case {
    const char* example;
    const char* summary;
  };
  for (Case c :
       {Case{"kolmex",
             "sfconv: read KOLMEX reflection file nacl.fos\n"
             "sfconv: relative variance (q2/q1)^2 = 4.000000E-04\n"
             "sfconv: cell    5.64020   5.64020   5.64020  90.00000  90.00000  90.00000\n"
             "sfconv: 33 reflections written\n"
             "sfconv: wrote out.sf\n"},
        Case{"gsas",
             "sfconv: read GSAS listing sample.lst\n"
             "sfconv: histogram 1 (PXC), phase 1\n"
             "sfconv: end of the refinement: line 69 \" Reduced CHI**2 =    1.312     for   17 "
             "variables\"\n"
             "sfconv: cell    5.64021   5.64021   5.64021  90.00000  90.00000  90.00000\n"
             "sfconv: 15 reflections written\n"
             "sfconv: wrote out.sf\n"},
        Case{"fullprof",
             "sfconv: read FullProf output silicon.out (the older layouts)\n"
             "sfconv: second file silicon.fou, its records after \" Phase no.:\"\n"
             "sfconv: pattern 1, phase 1\n"
             "sfconv: last cycle: line 37 \" => CYCLE No.:    2\"\n"
             "sfconv: cell    5.43102   5.43102   5.43102  90.00000  90.00000  90.00000\n"
             "sfconv: 11 reflections written; dropped: 1 with zero intensity\n"
             "sfconv: wrote out.sf\n"}}) {
    TempDir dir;
    const std::string expected = example(dir, c.example);
    test::RunResult r = run_sfconv(dir, "params.txt");
    EXPECT_EQ(r.status, 0) << c.example;
    EXPECT_EQ(r.out + r.err, "") << c.example << ": a normal run prints nothing";
    EXPECT_EQ(test::read_file(dir / "out.sf"), expected);
    for (const char* flag : {"-v", "--verbose"}) {
      r = run_sfconv(dir, std::string(flag) + " params.txt");
      EXPECT_EQ(r.status, 0) << c.example;
      EXPECT_EQ(r.err, c.summary) << c.example;
      EXPECT_EQ(test::read_file(dir / "out.sf"), expected);
    }
  }
}

TEST(Summary, TellsTheLayoutsOfARealFullProfFile) {
  TempDir dir;
  const fs::path from = fs::path(SFCONV_CASES) / "fullprof/real/cecual";
  for (const auto& e : fs::directory_iterator(from)) {
    fs::copy(e.path(), dir.path() / e.path().filename());
  }
  test::RunResult r = run_sfconv(dir, "-v params.txt");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err,
            "sfconv: read FullProf output cecual.out (table marker with \"Phase No.:\", table "
            "headers two columns right, cell values in 16 columns)\n"
            "sfconv: second file cecual.fou, its records after \" Phase no.:\"\n"
            "sfconv: pattern 1 (time of flight, bank 1 at 2theta 145.00), phase 1\n"
            "sfconv: last cycle: line 440 \" => CYCLE No.:    1\"\n"
            "sfconv: cell    4.25678   4.25678  10.63388  90.00000  90.00000  90.00000\n"
            "sfconv: 296 reflections written\n"
            "sfconv: wrote out.sf\n");
}

// Each warning comes after a successful run; the output is what it would be
// without the warning.
TEST(Warnings, ForResultsAUserWouldNotWantUnnoticed) {
  struct Case {
    const char* name;
    const char* example;
    std::function<void(std::string&)> edit;
    std::function<void(const TempDir&)> files;
    const char* warning;
  };
  const Case cases[] = {
      {"no reflection", "gsas",
       [](std::string& p) {
         replace_line(p, "1                               # phase", "2   # phase");
       },
       nullptr,
       "sfconv: warning: no reflection written to out.sf: the list of histogram 1 holds no "
       "reflection of phase 2 with positive F^2 values\n"},
      {"second file short", "fullprof", nullptr,
       [](const TempDir& d) {
         std::string fou = test::read_file(d / "silicon.fou");
         std::size_t cut = 0;
         for (int i = 0; i < 6; ++i) cut = fou.find('\n', cut) + 1;
         d.write("silicon.fou", fou.substr(0, cut));
       },
       "sfconv: warning: the second file silicon.fou ended after 4 reflection lines of the "
       "table; line 70 of silicon.out and those after it are not converted\n"},
      {"decimal comma", "gsas",
       [](std::string& p) { replace_line(p, "1.5405600", "1,54056   # lambda0"); }, nullptr,
       "sfconv: warning: params.txt, line 12: the lambda0 line \"1,54056\" holds more values "
       "than the 1 read from it (a decimal comma? write a point)\n"},
      {"setting without dash", "gsas", [](std::string& p) { replace_line(p, "F 225", "F 225 2"); },
       nullptr,
       "sfconv: warning: params.txt, line 7: the space-group line \"F 225 2\" holds more values "
       "than the 1 read from it\n"},
      {"left over", "gsas", [](std::string& p) { p += "145.0 /   # a detector-angle line\n"; },
       nullptr,
       "sfconv: warning: params.txt, line 16: a line left over after the run: \"145.0 /\"\n"},
      {"non-finite", "gsas", [](std::string& p) { replace_line(p, "1.0  ", "0.0   # E"); }, nullptr,
       "sfconv: warning: 15 records have a non-finite sigma(|Fo|) (written as Infinity or "
       "NaN)\n"},
  };
  for (const Case& c : cases) {
    TempDir dir;
    example(dir, c.example, c.edit);
    if (c.files) c.files(dir);
    test::RunResult r = run_sfconv(dir, "params.txt");
    EXPECT_EQ(r.status, 0) << c.name;
    EXPECT_EQ(r.out, "") << c.name;
    EXPECT_EQ(r.err, c.warning) << c.name;
    EXPECT_TRUE(dir.exists("out.sf")) << c.name;
  }
}

TEST(SpaceGroupLine, ValidLinesReadAsBeforeAndOthersStop) {
  struct Valid {
    const char* line;
    const char* written;  // line 8 of the output
  };
  for (Valid v : {Valid{"F 225", "   48   48   48  225    1    F"},
                  Valid{"F,225", "   48   48   48  225    1    F"},
                  Valid{"P 14-2", "   48   48   48   14    2    P"}}) {
    TempDir dir;
    example(dir, "gsas", [&](std::string& p) { replace_line(p, "F 225", v.line); });
    test::RunResult r = run_sfconv(dir, "params.txt");
    EXPECT_EQ(r.status, 0) << v.line << r.err;
    std::string sf = test::read_file(dir / "out.sf");
    std::size_t at = 0;
    for (int i = 0; i < 7; ++i) at = sf.find('\n', at) + 1;
    EXPECT_EQ(sf.substr(at, sf.find('\n', at) - at), v.written) << v.line;
  }
  struct Invalid {
    const char* line;
    const char* why;
  };
  for (Invalid c :
       {Invalid{"225", "its first character must be the lattice letter (P, A, B, C, F, I, R)"},
        Invalid{"F225",
                "the lattice letter must be followed by a blank or a comma, then the number"},
        Invalid{"P14",
                "the lattice letter must be followed by a blank or a comma, then the number"},
        Invalid{"F 0", "the space-group number 0 is not between 1 and 230"}}) {
    TempDir dir;
    example(dir, "gsas", [&](std::string& p) { replace_line(p, "F 225", c.line); });
    test::RunResult r = run_sfconv(dir, "params.txt");
    EXPECT_EQ(r.status, 1) << c.line;
    EXPECT_EQ(r.out, std::string(" Invalid space-group line: ") + c.line + "\n");
    EXPECT_EQ(r.err, std::string("sfconv: params.txt, line 7: ") + c.why + "\n");
    EXPECT_FALSE(dir.exists("out.sf")) << c.line;
  }
}

TEST(ParameterFile, AByteOrderMarkIsIgnored) {
  TempDir dir;
  const std::string expected = example(dir, "gsas", [](std::string& p) { p = "\xEF\xBB\xBF" + p; });
  test::RunResult r = run_sfconv(dir, "params.txt");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(test::read_file(dir / "out.sf"), expected);

  // Only at the very start: further down it is part of the line.
  example(dir, "kolmex", [](std::string& p) { p.insert(p.find("nacl.fos"), "\xEF\xBB\xBF"); });
  r = run_sfconv(dir, "params.txt");
  EXPECT_EQ(r.status, 2);
}

TEST(ParameterFile, TheReaderFollowsTheFileNameNotItsFolder) {
  TempDir dir;
  const std::string expected = example(dir, "fullprof", [](std::string& p) {
    replace_line(p, "silicon.out", "run.lst.d/silicon.out");
  });
  fs::create_directory(dir.path() / "run.lst.d");
  fs::rename(dir.path() / "silicon.out", dir.path() / "run.lst.d/silicon.out");
  test::RunResult r = run_sfconv(dir, "params.txt");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(test::read_file(dir / "out.sf"), expected);
}

}  // namespace
}  // namespace sfconv
