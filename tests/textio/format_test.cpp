// Format texts: the notation, and the walk a statement makes through it.
#include <stdexcept>
#include <string>

#include <gtest/gtest.h>

#include "textio/edit.hpp"
#include "textio/format.hpp"

namespace sfconv {
namespace {

// Records the walk: data edits as "I4", X as "x3", "/" and reversions as "|".
struct Trace {
  std::string log;
  void skip(int n) { log.append("x").append(std::to_string(n)).append(" "); }
  void end_record() { log += "| "; }
};

std::string walk(std::string_view text, int items) {
  Format f = Format::parse(text);
  Trace t;
  FormatControl<Trace> control(f, t);
  for (int i = 0; i < items; ++i) {
    DataEdit e = control.next();
    const char* names = "AIFEG";
    t.log += names[static_cast<int>(e.kind)];
    t.log.append(std::to_string(e.w));
    if (e.kind != EditKind::A && e.kind != EditKind::I)
      t.log.append(".").append(std::to_string(e.d));
    if (e.scale != 0) t.log.append("p").append(std::to_string(e.scale));
    t.log.append(" ");
  }
  control.finish();
  return t.log;
}

TEST(FormatWalk, RepeatCountsGroupsAndControlEdits) {
  EXPECT_EQ(walk("(12X,3I4,39X,F11.1)", 4), "x12 I4 I4 I4 x39 F11.1 ");
  EXPECT_EQ(walk("(A/6F10.5)", 3), "A0 | F10.5 F10.5 ");
  EXPECT_EQ(walk("(A/2F15.3, F15.7/2A, 3(A,I3), A,F7.2)", 14),
            "A0 | F15.3 F15.3 F15.7 | A0 A0 A0 I3 A0 I3 A0 I3 A0 F7.2 ");
  // blanks are ignored, letters of either case
  EXPECT_EQ(walk("( 2 ( 12x , f12.4 ) )", 2), "x12 F12.4 x12 F12.4 ");
  EXPECT_EQ(walk("(a)", 1), "A0 ");
}

TEST(FormatWalk, ScaleFactorHoldsForTheRestOfTheStatement) {
  EXPECT_EQ(walk("(3I5, 4F15.3, 1P,G12.4,0P, F12.4)", 9),
            "I5 I5 I5 F15.3 F15.3 F15.3 F15.3 G12.4p1 F12.4 ");
  EXPECT_EQ(walk("(1PG13.6)", 1), "G13.6p1 ");
  EXPECT_EQ(walk("(-1P,E10.3)", 1), "E10.3p-1 ");
}

TEST(FormatWalk, ItemsUsedUpEndBeforeTheNextDataEdit) {
  // the X, P and "/" before the next data edit are still carried out
  EXPECT_EQ(walk("(I2,3X/I2)", 1), "I2 x3 | ");
  EXPECT_EQ(walk("(I2,I2)", 1), "I2 ");
  EXPECT_EQ(walk("(3I2)", 2), "I2 I2 ");
  EXPECT_EQ(walk("()", 0), "");
}

TEST(FormatWalk, ReversionRestartsAtTheLastTopLevelGroup) {
  // "(F15.6)" over six items: six records, one value each
  EXPECT_EQ(walk("(F15.6)", 6), "F15.6 | F15.6 | F15.6 | F15.6 | F15.6 | F15.6 ");
  EXPECT_EQ(walk("(A,2(I2,I3))", 8), "A0 I2 I3 I2 I3 | I2 I3 I2 ");
  EXPECT_EQ(walk("(A,2(I2,(I3)),F5.1)", 8), "A0 I2 I3 I2 I3 F5.1 | I2 I3 ");
}

TEST(FormatWalk, GroupsNestTwentyDeep) {
  std::string deep = "(" + std::string(20, '(') + "I1" + std::string(20, ')') + ")";
  EXPECT_EQ(walk(deep, 1), "I1 ");
  std::string deeper = "(" + std::string(21, '(') + "I1" + std::string(21, ')') + ")";
  EXPECT_THROW(Format::parse(deeper), std::invalid_argument);
}

TEST(FormatParse, MalformedTextsAreRejected) {
  for (const char* bad : {"", "I4", "(I4", "(I)", "(F10)", "(F10.)", "(0I4)", "(I0)", "(Z4)",
                          "(I4 I4)", "(P)", "(-3I4)", "(I4))", "(A)x"}) {
    EXPECT_THROW(Format::parse(bad), std::invalid_argument) << bad;
  }
}

TEST(FormatParse, AFormatWithoutDataEditCannotTakeItems) {
  Format f = Format::parse("(5X)");
  Trace t;
  FormatControl<Trace> control(f, t);
  EXPECT_THROW(control.next(), std::invalid_argument);
}

TEST(FormatParse, LiteralsArePreparedOnce) {
  // the same literal is one object, made at compile time
  EXPECT_EQ(&"(12X,3I4)"_fmt, &"(12X,3I4)"_fmt);
  static_assert("(A/6F10.5)"_fmt.count == 3);
}

}  // namespace
}  // namespace sfconv
