// The detector-angle line: the count of angles, the slash, the bank checks.
#include <string>

#include <gtest/gtest.h>

#include "support/files.hpp"
#include "textio/det_angle.hpp"
#include "textio/failure.hpp"

namespace sfconv {
namespace {

struct Lookup {
  float angle = -1.0f;
  std::int32_t count = -1;
  std::string stop;  // the message line of a recognised stop
};

Lookup look_up(const std::string& line, std::int32_t bank) {
  det_angle_reset();
  test::TempDir dir;
  TextInput in(dir.write("p.txt", "# angles\n" + line + "\n"), 5);
  Lookup r;
  try {
    r.angle = det_angle(in, bank, r.count);
  } catch (const RecognisedStop& s) {
    r.stop = s.line;
  }
  return r;
}

TEST(DetAngle, ReturnsTheBanksAngle) {
  Lookup one = look_up("90.0  145.0  /", 1);
  EXPECT_EQ(one.angle, 90.0f);
  EXPECT_EQ(one.count, 2);
  EXPECT_EQ(look_up("90.0  145.0  /", 2).angle, 145.0f);
  EXPECT_EQ(look_up("90.0  145.0  / # two banks", 3).stop, "Invalid histogram number:   3");
}

TEST(DetAngle, CountsUpToTheLastNonZeroAngle) {
  Lookup zero_inside = look_up("90 0 145 /", 2);
  EXPECT_EQ(zero_inside.count, 3);
  EXPECT_EQ(zero_inside.angle, 0.0f);
  EXPECT_EQ(look_up("90 145 0 0 /", 1).count, 2);
  EXPECT_EQ(look_up("90 145 0 0 /", 3).stop, "Invalid histogram number:   3");
}

TEST(DetAngle, ASlashAloneGivesNoAngle) {
  Lookup r = look_up("/", 1);
  EXPECT_EQ(r.stop, "Invalid histogram number:   1");
  EXPECT_EQ(r.count, 0);  // stored before the stop
}

TEST(DetAngle, TwentyFiveValuesNeedNoSlash) {
  std::string line;
  for (int i = 1; i <= 26; ++i) line += std::to_string(i) + " ";
  Lookup r = look_up(line, 25);
  EXPECT_EQ(r.count, 25);
  EXPECT_EQ(r.angle, 25.0f);
}

TEST(DetAngle, BankNumbersOutsideTheLine) {
  EXPECT_EQ(look_up("90 /", 0).stop, "Invalid histogram number:   0");
  EXPECT_EQ(look_up("90 /", -3).stop, "Invalid histogram number:  -3");
  EXPECT_EQ(look_up("90 /", 1000).stop, "Invalid histogram number:1000");
  EXPECT_EQ(look_up("90 /", 10000).stop, "Invalid histogram number:****");
}

TEST(DetAngle, TooFewValuesWithoutSlashOrNotANumber) {
  for (auto [line, message] : {std::pair{"90 145", "Attempt to read past end of file"},
                               std::pair{"90 abc /", "Illegal character in numeric input"}}) {
    try {
      look_up(line, 1);
      ADD_FAILURE() << "no failure for " << line;
    } catch (const IoFailure& f) {
      EXPECT_EQ(f.message, message);
      EXPECT_EQ(f.unit, "INTERNAL");
    }
  }
}

TEST(DetAngle, OnlyTheFirst150ColumnsCount) {
  // 145 and the slash stand beyond column 150: too few values
  EXPECT_THROW(look_up("90 " + std::string(147, ' ') + "145 /", 1), IoFailure);
  EXPECT_EQ(look_up("90 " + std::string(140, ' ') + "145 /", 2).angle, 145.0f);
}

}  // namespace
}  // namespace sfconv
