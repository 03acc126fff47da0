// Input editors: every field-editing example, the number forms and the failures.
#include <cmath>
#include <limits>
#include <string>

#include <gtest/gtest.h>

#include "textio/edit.hpp"
#include "textio/failure.hpp"
#include "textio/numeric_input.hpp"

namespace sfconv {
namespace {

const Origin kHere{"test.txt", 3, ""};

struct RealCase {
  const char* field;
  int implied;
  float expected;
};

class RealInput : public testing::TestWithParam<RealCase> {};

TEST_P(RealInput, ReadsTheNumber) {
  const RealCase& c = GetParam();
  float v = -999.0f;
  ASSERT_EQ(read_real(c.field, c.implied, v), NumResult::ok) << c.field;
  EXPECT_EQ(v, c.expected) << '"' << c.field << '"';
}

constexpr float kInf = std::numeric_limits<float>::infinity();

INSTANTIATE_TEST_SUITE_P(
    Forms, RealInput,
    testing::Values(
        // implied decimal point in front of the last d mantissa digits
        RealCase{"   1234567", 4, 123.4567f}, RealCase{"       -12", 4, -0.0012f},
        RealCase{"     1.5E2", 4, 150.0f}, RealCase{"12345", 5, 0.12345f},
        RealCase{"123", 5, 0.00123f}, RealCase{"12345E2", 3, 1234.5f}, RealCase{"1.5", 5, 1.5f},
        RealCase{" 1.5406", 7, 1.5406f}, RealCase{"  1.5405600", 7, 1.54056f},
        RealCase{"  5.431000", 6, 5.431f},
        // exponents: letters E, e, D, d; a sign alone; Q ends the number
        RealCase{"1.5-3", 0, 0.0015f}, RealCase{"1.5+3", 0, 1500.0f}, RealCase{"1.5D0", 0, 1.5f},
        RealCase{"1.5d1", 0, 15.0f}, RealCase{"-3e-2", 0, -0.03f}, RealCase{"0.152E+03", 3, 152.0f},
        RealCase{"1.5Q3", 0, 1.5f}, RealCase{"2q", 0, 2.0f},
        // blanks anywhere are ignored; a blank field is zero
        RealCase{"", 3, 0.0f}, RealCase{"      ", 3, 0.0f}, RealCase{" 1 . 5 ", 0, 1.5f},
        RealCase{"-  2.5", 0, -2.5f}, RealCase{"+7.", 0, 7.0f}, RealCase{".5", 0, 0.5f},
        RealCase{"\t2.0", 0, 2.0f},
        // correctly rounded to single precision, however many digits
        RealCase{"0.1", 0, 0.1f}, RealCase{"3.14159265358979323846264338327950288", 0, 3.1415927f},
        RealCase{"16777217", 0, 16777216.0f}, RealCase{"16777219", 0, 16777220.0f},
        RealCase{"0.000000000000000000000000000000000000000000001401298464324817", 0, 1.4e-45f},
        // beyond the range: an infinity, or zero
        RealCase{"1E50", 0, kInf}, RealCase{"-1E50", 0, -kInf}, RealCase{"1E-60", 0, 0.0f},
        RealCase{"1E999999999999", 0, kInf}));

TEST(RealInput, IllegalCharactersAndMalformedNumbers) {
  for (const char* bad :
       {"1.5X", "abc", "1,5", "1.2.3", "--5", "1.5E", "1.5E+", "-", ".", "E5", "1E5-2", "5*"}) {
    float v = 7.0f;
    EXPECT_EQ(read_real(bad, 0, v), NumResult::illegal) << bad;
    EXPECT_EQ(v, 7.0f) << bad;
  }
}

TEST(IntegerInput, SignAndDigitsOnly) {
  std::int32_t v = 0;
  EXPECT_EQ(read_integer("1 2", v), NumResult::ok);
  EXPECT_EQ(v, 12);
  EXPECT_EQ(read_integer(" -5", v), NumResult::ok);
  EXPECT_EQ(v, -5);
  EXPECT_EQ(read_integer("   ", v), NumResult::ok);
  EXPECT_EQ(v, 0);
  EXPECT_EQ(read_integer("2147483647", v), NumResult::ok);
  EXPECT_EQ(v, 2147483647);
  EXPECT_EQ(read_integer("-2147483648", v), NumResult::ok);
  EXPECT_EQ(v, std::numeric_limits<std::int32_t>::min());
  for (const char* bad : {"3.0", "1E2", "x", "+", "1-", "1 -2"}) {
    EXPECT_EQ(read_integer(bad, v), NumResult::illegal) << bad;
  }
  for (const char* big : {"2147483648", "-2147483649", "99999999999999999999"}) {
    EXPECT_EQ(read_integer(big, v), NumResult::overflow) << big;
  }
}

// Reads `record` as a one-record text.
template <typename... T>
void read_text(std::string_view record, const Format& f, T&&... items) {
  read_internal(record, kHere, f, std::forward<T>(items)...);
}

TEST(FieldInput, FieldsBeyondTheRecordAreEmpty) {
  std::int32_t n = -1;
  read_text("         5", "(9X,I3)"_fmt, n);
  EXPECT_EQ(n, 5);
  n = -1;
  read_text("123456789", "(9X,I3)"_fmt, n);
  EXPECT_EQ(n, 0);
  n = -1;
  read_text("", "(9X,I3)"_fmt, n);
  EXPECT_EQ(n, 0);
}

TEST(FieldInput, ACommaEndsANumericField) {
  std::int32_t h = 0, k = 0, l = 0;
  float io = 0;
  // columns 13-16 hold "  1,": the second field begins in column 17
  read_text(
      "            "
      "  1,"
      "   2"
      "   3" +
          std::string(39, ' ') + "     1520.3",
      "(12X,3I4,39X,F11.1)"_fmt, h, k, l, io);
  EXPECT_EQ(h, 1);
  EXPECT_EQ(k, 2);
  EXPECT_EQ(l, 3);
  EXPECT_EQ(io, 1520.3f);
  // a comma early in the field: the next field begins right after it
  read_text("1,2,3", "(3I4)"_fmt, h, k, l);
  EXPECT_EQ(h, 1);
  EXPECT_EQ(k, 2);
  EXPECT_EQ(l, 3);
}

TEST(FieldInput, TextFieldsTakeTheLastOrFirstCharacters) {
  Text<3> t;
  read_text("xyz", "(A1)"_fmt, t);
  EXPECT_EQ(t.view(), "x  ");
  read_text("abcde", "(A5)"_fmt, t);
  EXPECT_EQ(t.view(), "cde");
  read_text("ab", "(A5)"_fmt, t);  // beyond the record: blanks
  EXPECT_EQ(t.view(), "   ");
  read_text("ab", "(A)"_fmt, t);
  EXPECT_EQ(t.view(), "ab ");
  Text<512> line;
  line.assign("old");
  read_text("", "(A)"_fmt, line);
  EXPECT_EQ(line.view(), std::string(512, ' '));
}

TEST(FieldInput, TheListingRecordLayoutReadsWhole) {
  std::int32_t h, k, l, mult, code;
  float d, f2, x2, a2, x4, phase, r1, r2, r3, r4;
  read_text(
      "      "
      "  1"
      "  1"
      "  0"
      "  12"
      " 1021"
      " 3.83970"
      " 0.123E+03"
      " 0.456E+02"
      " 0.789E+03"
      " 0.100E+01"
      "  45.0"
      "    1.0000"
      "    2.0000"
      "    3.0000"
      "    4.0000",
      "(6X,3I3,I4,I5,F8.5,4E10.3,F6.1,4F10.4)"_fmt, h, k, l, mult, code, d, f2, x2, a2, x4, phase,
      r1, r2, r3, r4);
  EXPECT_EQ(h, 1);
  EXPECT_EQ(l, 0);
  EXPECT_EQ(mult, 12);
  EXPECT_EQ(code, 1021);
  EXPECT_EQ(d, 3.8397f);
  EXPECT_EQ(f2, 123.0f);
  EXPECT_EQ(a2, 789.0f);
  EXPECT_EQ(phase, 45.0f);
  EXPECT_EQ(r4, 4.0f);
}

TEST(FieldInput, IllegalCharacterIsReportedForTheRecord) {
  std::int32_t n = 0;
  try {
    read_text("abc", "(I3)"_fmt, n);
    FAIL() << "no failure";
  } catch (const IoFailure& f) {
    EXPECT_EQ(f.message, "Illegal character in numeric input");
    EXPECT_EQ(f.statement, "READ");
    EXPECT_EQ(f.unit, "INTERNAL");
    EXPECT_NE(f.header.find("test.txt, line 3"), std::string::npos) << f.header;
  }
  try {
    read_text("9999999999", "(I10)"_fmt, n);
    FAIL() << "no failure";
  } catch (const IoFailure& f) {
    EXPECT_EQ(f.message, "Integer overflow in numeric input");
  }
}

TEST(FieldInput, ATextFieldHasOneRecordOnly) {
  float a = 0, b = 0;
  try {
    read_text("1.0", "(F5.1/F5.1)"_fmt, a, b);
    FAIL() << "no failure";
  } catch (const IoFailure& f) {
    EXPECT_EQ(f.message, "Attempt to read past end of file");
    EXPECT_EQ(f.unit, "INTERNAL");
  }
  EXPECT_EQ(a, 1.0f);
}

}  // namespace
}  // namespace sfconv
