// The parameter readers: every value line, the two checks and the failures.
#include <string>

#include <gtest/gtest.h>

#include "driver/read_data.hpp"
#include "driver/run_state.hpp"
#include "support/files.hpp"
#include "textio/failure.hpp"

namespace sfconv {
namespace {

class Parameters : public testing::Test {
 protected:
  void SetUp() override { reset_run_state(); }

  void read_gsas(const std::string& bytes) {
    TextInput in(dir_.write("p.txt", bytes), 5);
    read_data_gsas_fullprof(in);
  }
  std::string stop_of(const std::string& bytes) {
    try {
      read_gsas(bytes);
    } catch (const RecognisedStop& s) {
      return s.line;
    }
    return "(no stop)";
  }
  IoFailure failure_of(const std::string& bytes) {
    try {
      read_gsas(bytes);
    } catch (const IoFailure& f) {
      return f;
    }
    ADD_FAILURE() << "no failure";
    return {};
  }

  test::TempDir dir_;
};

TEST_F(Parameters, AWholeGsasParameterTail) {
  read_gsas(
      "# title and space group\n"
      "  Sample data set   # a comment\n"
      "P 14-2\n"
      "1000.0\n"
      "64 64 64\n"
      "0\n"
      "123.4\n"
      "1.5406 # lambda0\n"
      "1\n"
      "2\n");
  EXPECT_EQ(CDATA.TITLE.trimmed(), "Sample data set");
  EXPECT_EQ(CDATA.VOL.view(), "P");
  EXPECT_EQ(IDATA.SPG, 14);
  EXPECT_EQ(IDATA.SET, 2);
  EXPECT_EQ(RDATA.E, 1000.0f);
  EXPECT_EQ(IDATA.NX + IDATA.NY + IDATA.NZ, 192);
  EXPECT_EQ(IDATA.IAMP, 0);
  EXPECT_EQ(RDATA.TOTAMP, 123.4f);
  EXPECT_EQ(RDATA.TOTAMP2, 0.0f);
  EXPECT_EQ(RDATA.lambda0, 1.5406f);
  EXPECT_EQ(IDATA.histogram, 1);
  EXPECT_EQ(IDATA.phase_no, 2);
}

TEST_F(Parameters, SpaceGroupLines) {
  struct Case {
    const char* line;
    char vol;
    int spg, set;
  };
  for (Case c : {Case{"P 14-2", 'P', 14, 2}, Case{"F 225", 'F', 225, 1},
                 Case{"P 14 - 2", 'P', 14, 2}, Case{"I 4,", 'I', 4, 1}, Case{"F,225", 'F', 225, 1},
                 Case{"R 148-2 # hexagonal axes", 'R', 148, 2}, Case{"p 1", 'p', 1, 1},
                 Case{"C 230", 'C', 230, 1}}) {
    reset_run_state();
    read_gsas(std::string("t\n") + c.line + "\n1\n1 1 1\n1\n7 8\n1\n0\n1\n");
    EXPECT_EQ(CDATA.VOL.c[0], c.vol) << c.line;
    EXPECT_EQ(IDATA.SPG, c.spg) << c.line;
    EXPECT_EQ(IDATA.SET, c.set) << c.line;
  }
}

// Lines that decode, but to a space group nobody meant: the number's first
// digit taken for the lattice letter, a number run into the letter, a number
// outside 1..230. The stop quotes the line as read.
TEST_F(Parameters, InvalidSpaceGroupLinesStop) {
  struct Case {
    const char* line;
    const char* why;
  };
  for (Case c :
       {Case{"225", "its first character must be the lattice letter (P, A, B, C, F, I, R)"},
        Case{"F225", "the lattice letter must be followed by a blank or a comma, then the number"},
        Case{"P14   # no blank",
             "the lattice letter must be followed by a blank or a comma, then the number"},
        Case{"P -5", "the space-group number -5 is not between 1 and 230"},
        Case{"P 0-2", "the space-group number 0 is not between 1 and 230"},
        Case{"F 231", "the space-group number 231 is not between 1 and 230"}}) {
    reset_run_state();
    try {
      // Only the title and space-group lines: the E line is never read.
      read_gsas(std::string("t\n") + c.line + "\n");
      ADD_FAILURE() << "no stop: " << c.line;
    } catch (const RecognisedStop& stop) {
      std::string as_read(c.line);
      as_read = as_read.substr(0, as_read.find('#'));
      as_read.erase(as_read.find_last_not_of(' ') + 1);
      EXPECT_EQ(stop.line, " Invalid space-group line: " + as_read);
      EXPECT_EQ(stop.where, "sfconv: " + (dir_ / "p.txt") + ", line 2: " + c.why);
    }
  }
}

TEST_F(Parameters, TwoTotalsAndLongTitles) {
  read_gsas(std::string(75, 'T') + "\nP 1\n1\n1 1 1\n1\n7 8\n1\n0\n1\n");
  EXPECT_EQ(CDATA.TITLE.view(), std::string(70, 'T'));
  EXPECT_EQ(RDATA.TOTAMP, 7.0f);
  EXPECT_EQ(RDATA.TOTAMP2, 8.0f);
  EXPECT_EQ(IDATA.histogram, 0);  // zero is accepted
}

TEST_F(Parameters, RecognisedStops) {
  // IAMP 2 stops before the totals line is read: it may be missing
  EXPECT_EQ(stop_of("t\nP 1\n1\n1 1 1\n2\n"), " IAMP should be 0 or 1");
  EXPECT_EQ(stop_of("t\nP 1\n1\n1 1 1\n0\n5\n1\n-1\n"), " Invalid histogram number:  -1");
  EXPECT_EQ(stop_of("t\nP 1\n1\n1 1 1\n0\n5\n1\n-12345\n"), " Invalid histogram number:****");
}

TEST_F(Parameters, BadSpaceGroupLines) {
  // a '-' with no number after it, or nothing between column 3 and the '-'
  EXPECT_EQ(failure_of("t\nP 14-\n").message, "Attempt to read past end of file");
  EXPECT_EQ(failure_of("t\nP x-2\n").message, "Illegal character in numeric input");
  EXPECT_EQ(failure_of("t\nP  -2\n").message, "Attempt to read past end of file");
}

TEST_F(Parameters, KolmexTail) {
  TextInput in(dir_.write("p.txt", "0.5\n7 # not checked\n0.7107\nanything after\n"), 5);
  read_data_kolmex(in);
  EXPECT_EQ(RDATA.E, 0.5f);
  EXPECT_EQ(IDATA.IAMP, 7);
  EXPECT_EQ(RDATA.lambda0, 0.7107f);
}

}  // namespace
}  // namespace sfconv
