// Free-form values: separators, null values, repeats, the slash, failures.
#include <string>

#include <gtest/gtest.h>

#include "support/files.hpp"
#include "textio/failure.hpp"
#include "textio/freeform.hpp"
#include "textio/text_input.hpp"

namespace sfconv {
namespace {

const Origin kLine{"params.txt", 7, "NX NY NZ"};

TEST(FreeForm, BlanksCommasAndTabsSeparateValues) {
  std::int32_t a = 0, b = 0, c = 0;
  read_free("64 64,\t48   , 9", kLine, a, b, c);
  EXPECT_EQ(a, 64);
  EXPECT_EQ(b, 64);
  EXPECT_EQ(c, 48);
}

TEST(FreeForm, NullValuesLeaveItemsUnchanged) {
  std::int32_t a = -1, b = -2, c = -3;
  read_free("1,,3", kLine, a, b, c);
  EXPECT_EQ(a, 1);
  EXPECT_EQ(b, -2);
  EXPECT_EQ(c, 3);
  a = -1;
  read_free(", 5 6", kLine, a, b, c);  // a comma first: the first item is null
  EXPECT_EQ(a, -1);
  EXPECT_EQ(b, 5);
  EXPECT_EQ(c, 6);
}

TEST(FreeForm, RepeatCounts) {
  std::int32_t a = 0, b = 0, c = 0;
  read_free("2*7 9", kLine, a, b, c);
  EXPECT_EQ(a, 7);
  EXPECT_EQ(b, 7);
  EXPECT_EQ(c, 9);
  a = b = c = -1;
  read_free("2*,4", kLine, a, b, c);
  EXPECT_EQ(a, -1);
  EXPECT_EQ(b, -1);
  EXPECT_EQ(c, 4);
  float x = 0, y = 0;
  read_free("2*1.5", kLine, x, y);
  EXPECT_EQ(x, 1.5f);
  EXPECT_EQ(y, 1.5f);
}

TEST(FreeForm, ASlashEndsTheStatement) {
  std::int32_t a = 0, b = -2, c = -3;
  read_free("4 /", kLine, a, b, c);
  EXPECT_EQ(a, 4);
  EXPECT_EQ(b, -2);
  EXPECT_EQ(c, -3);
  read_free("5/ 6 7", kLine, a, b, c);
  EXPECT_EQ(a, 5);
  EXPECT_EQ(b, -2);
}

TEST(FreeForm, RealsTakeEveryNumberFormWithoutImpliedPoint) {
  float v[5] = {};
  read_free("1000 1.5406 -3e-2 1.5D0 1.5-3", kLine, v[0], v[1], v[2], v[3], v[4]);
  EXPECT_EQ(v[0], 1000.0f);
  EXPECT_EQ(v[1], 1.5406f);
  EXPECT_EQ(v[2], -0.03f);
  EXPECT_EQ(v[3], 1.5f);
  EXPECT_EQ(v[4], 0.0015f);
  float one = 0;
  read_free("1.5406 2 3 junk", kLine, one);  // the rest of the line is ignored
  EXPECT_EQ(one, 1.5406f);
}

IoFailure failure_of(std::string_view record, int items) {
  std::int32_t a = 0, b = 0, c = 0;
  try {
    if (items == 1) read_free(record, kLine, a);
    if (items == 3) read_free(record, kLine, a, b, c);
  } catch (const IoFailure& f) {
    return f;
  }
  ADD_FAILURE() << "no failure for " << record;
  return {};
}

TEST(FreeForm, FailuresAreReportedAsInternalReads) {
  IoFailure f = failure_of("1 2", 3);
  EXPECT_EQ(f.message, "Attempt to read past end of file");
  EXPECT_EQ(f.statement + f.unit, "READINTERNAL");
  EXPECT_EQ(f.header, "sfconv: error in params.txt, line 7 (reading NX NY NZ)");
  EXPECT_EQ(failure_of("3.0", 1).message, "Illegal character in numeric input");
  EXPECT_EQ(failure_of("x", 1).message, "Illegal character in numeric input");
  EXPECT_EQ(failure_of("0*5", 1).message, "Illegal character in numeric input");
  EXPECT_EQ(failure_of("4000000000", 1).message, "Integer overflow in numeric input");
  EXPECT_EQ(failure_of("", 1).message, "Attempt to read past end of file");
}

TEST(FreeForm, NoItemAfterTheFailingOneIsSet) {
  std::int32_t a = 0, b = -2, c = -3;
  EXPECT_THROW(read_free("1 x 3", kLine, a, b, c), IoFailure);
  EXPECT_EQ(a, 1);
  EXPECT_EQ(b, -2);
  EXPECT_EQ(c, -3);
}

TEST(FreeForm, FromAStreamValuesContinueOnTheNextRecord) {
  test::TempDir dir;
  TextInput in(dir.write("v.txt", "1\n\n 2, 3\n4\n"), 2);
  std::int32_t a = 0, b = 0, c = 0;
  read_free(in, a, b, c);
  EXPECT_EQ(a + b * 10 + c * 100, 321);
  EXPECT_EQ(in.line(), 3);
}

}  // namespace
}  // namespace sfconv
