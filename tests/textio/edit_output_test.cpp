// Output editors: every field-editing example, and the edges around them.
#include <cmath>
#include <limits>
#include <string>

#include <gtest/gtest.h>

#include "textio/edit.hpp"
#include "textio/failure.hpp"

namespace sfconv {
namespace {

std::string written(std::string_view format, float v) {
  OutItems items;
  items.add(v);
  std::string out;
  write_items(out, Format::parse(format), items);
  return out;
}

std::string written(std::string_view format, std::int32_t v) {
  OutItems items;
  items.add(v);
  std::string out;
  write_items(out, Format::parse(format), items);
  return out;
}

struct RealCase {
  const char* format;
  float value;
  const char* expected;
};

class RealOutput : public testing::TestWithParam<RealCase> {};

TEST_P(RealOutput, EditsTheField) {
  const RealCase& c = GetParam();
  EXPECT_EQ(written(c.format, c.value), c.expected) << c.format << " of " << c.value;
}

constexpr float kInf = std::numeric_limits<float>::infinity();

INSTANTIATE_TEST_SUITE_P(
    Fixed, RealOutput,
    testing::Values(
        // rounding at d places by the first dropped digit, ties away from zero
        RealCase{"(F7.2)", 0.125f, "   0.13"}, RealCase{"(F7.2)", -0.125f, "  -0.13"},
        // no "-" on a value that rounds to zero; negative zero is zero
        RealCase{"(F7.2)", -0.004f, "   0.00"}, RealCase{"(F7.2)", -0.006f, "  -0.01"},
        RealCase{"(F7.2)", -0.0f, "   0.00"}, RealCase{"(F7.2)", 0.0f, "   0.00"},
        RealCase{"(F10.5)", 5.4307f, "   5.43070"}, RealCase{"(F10.5)", -90.0f, " -90.00000"},
        // the leading zero only where there is room for it
        RealCase{"(F10.5)", 0.5f, "   0.50000"}, RealCase{"(F6.4)", 0.5f, "0.5000"},
        RealCase{"(F6.5)", 0.5f, ".50000"}, RealCase{"(F6.4)", -0.5f, "-.5000"},
        RealCase{"(F5.4)", -0.5f, "*****"},
        // overflow fills the field with asterisks
        RealCase{"(F10.5)", 123456.0f, "**********"}, RealCase{"(F11.5)", 12345.0f, "12345.00000"},
        RealCase{"(F10.5)", 9999.999999f, "**********"},
        // the single-precision value of 0.00005 lies just below it
        RealCase{"(F12.4)", -0.00004f, "      0.0000"},
        RealCase{"(F12.4)", 0.00006f, "      0.0001"},
        RealCase{"(F12.4)", 0.00005f, "      0.0000"},
        // at most 8 significant digits; later positions are zeros
        RealCase{"(F15.3)", 123456792.0f, "  123456790.000"},
        RealCase{"(F18.3)", 1234.567f, "          1234.567"},
        RealCase{"(F15.3)", 0.1f, "          0.100"}, RealCase{"(F15.7)", 0.0f, "      0.0000000"},
        RealCase{"(F13.7)", 1.540598f, "    1.5405980"},
        RealCase{"(F20.12)", 0.1f, "      0.100000000000"}, RealCase{"(F8.0)", 1234.5f, "   1235."},
        RealCase{"(F3.0)", 0.2f, " 0."}, RealCase{"(F7.2)", 99.994f, "  99.99"},
        RealCase{"(F7.2)", 99.995f, " 100.00"},
        // infinities and NaN
        RealCase{"(F15.3)", kInf, "       Infinity"}, RealCase{"(F7.2)", kInf, "    Inf"},
        RealCase{"(F15.3)", -kInf, "      -Infinity"}, RealCase{"(F7.2)", -kInf, "   -Inf"},
        RealCase{"(F3.1)", -kInf, "***"}, RealCase{"(F15.3)", std::nanf(""), "            NaN"},
        RealCase{"(F2.1)", std::nanf(""), "**"}));

INSTANTIATE_TEST_SUITE_P(
    General, RealOutput,
    testing::Values(RealCase{"(1P,G12.4)", 1.5406f, "   1.541    "},
                    RealCase{"(1P,G12.4)", 0.5f, "  0.5000    "},
                    RealCase{"(1P,G12.4)", 1234.5f, "   1235.    "},
                    RealCase{"(1P,G12.4)", 0.0f, "  0.0000    "},
                    RealCase{"(1P,G12.4)", 523.7f, "   523.7    "},
                    RealCase{"(1P,G12.4)", 123456.0f, "  1.2346E+05"},
                    RealCase{"(1P,G12.4)", 0.05f, "  5.0000E-02"},
                    RealCase{"(1P,G12.4)", -123456.0f, " -1.2346E+05"},
                    RealCase{"(1P,G12.4)", 12345.678f, "  1.2346E+04"},
                    // the bounds of the fixed form
                    RealCase{"(1P,G12.4)", 9999.4f, "   9999.    "},
                    RealCase{"(1P,G12.4)", 10000.0f, "  1.0000E+04"},
                    RealCase{"(1P,G12.4)", 0.1f, "  0.1000    "},
                    RealCase{"(1P,G12.4)", 0.0999f, "  9.9900E-02"},
                    RealCase{"(1P,G12.4)", 0.099996f, "  0.1000    "},
                    RealCase{"(1P,G12.4)", 0.0999949f, "  9.9995E-02"},
                    RealCase{"(1P,G12.4)", 0.99999f, "   1.000    "},
                    RealCase{"(1P,G12.4)", 999.96f, "   1000.    "},
                    // rounds across 10^d: written in the exponent form
                    RealCase{"(1P,G12.4)", 9999.96f, "  1.0000E+04"},
                    RealCase{"(1P,G12.4)", -0.5f, " -0.5000    "},
                    RealCase{"(1P,G12.4)", 1e-10f, "  1.0000E-10"},
                    RealCase{"(1P,G12.4)", 3.4028235e38f, "  3.4028E+38"},
                    RealCase{"(1P,G12.4)", 1.4e-45f, "  1.4013E-45"},
                    RealCase{"(1P,G12.4)", 9.99996e-5f, "  1.0000E-04"},
                    RealCase{"(1P,G12.4)", kInf, "    Infinity"},
                    RealCase{"(1P,G12.4)", std::nanf(""), "         NaN"},
                    RealCase{"(1P,G13.6)", 1.540598f, "  1.54060    "},
                    RealCase{"(1P,G13.6)", 1234567.0f, " 1.234567E+06"},
                    // the E text of the header
                    RealCase{"(1P,G13.6,0P)", 1.0f, "  1.00000    "},
                    RealCase{"(1P,G13.6,0P)", 1000.0f, "  1000.00    "},
                    RealCase{"(1P,G13.6,0P)", 0.5f, " 0.500000    "},
                    RealCase{"(1P,G13.6,0P)", 0.05f, " 5.000000E-02"},
                    RealCase{"(1P,G13.6,0P)", 0.0f, " 0.000000    "},
                    RealCase{"(1P,G13.6,0P)", 999999.4f, "  999999.    "},
                    RealCase{"(1P,G13.6,0P)", 1000000.0f, " 1.000000E+06"},
                    // the scale factor: the exponent form of E and G without 1P
                    RealCase{"(G12.4)", 123456.0f, "  0.1235E+06"},
                    RealCase{"(E10.3)", 1234.5f, " 0.123E+04"},
                    RealCase{"(1P,E10.3)", 1234.5f, " 1.235E+03"},
                    RealCase{"(E9.3)", -1234.5f, "-.123E+04"}));

TEST(IntegerOutput, RightJustifiesAndOverflowsToAsterisks) {
  EXPECT_EQ(written("(I5)", 2000), " 2000");
  EXPECT_EQ(written("(I5)", -12), "  -12");
  EXPECT_EQ(written("(I5)", 123456), "*****");
  EXPECT_EQ(written("(I5)", -1234), "-1234");
  EXPECT_EQ(written("(I5)", -12345), "*****");
  EXPECT_EQ(written("(I4)", 1000), "1000");
  EXPECT_EQ(written("(I4)", 10000), "****");
  EXPECT_EQ(written("(I11)", std::numeric_limits<std::int32_t>::min()), "-2147483648");
}

TEST(TextOutput, AWritesTheItemAndAwPadsOrCuts) {
  OutItems items;
  items.add("abc");
  items.add("abc");
  items.add("abc");
  std::string out;
  write_items(out, Format::parse("(A,A5,A2)"), items);
  EXPECT_EQ(out, "abc  abcab");
}

TEST(Records, SlashAndXBuildTheLines) {
  EXPECT_EQ(format_line("(A/2F15.7,I7,3I5,6X,A1)"_fmt,
                        "#          POP1           POP2  IPTYP  JPH  JPK  JPL", 0.0f, 0.0f, -1, 0,
                        0, 0, "P"),
            "#          POP1           POP2  IPTYP  JPH  JPK  JPL\n"
            "      0.0000000      0.0000000     -1    0    0    0      P");
  // X at the end of a record moves the position only: nothing is written
  EXPECT_EQ(format_line("(I2,3X)"_fmt, 7), " 7");
  EXPECT_EQ(format_line("(A,I6)"_fmt, " The number of reflections is greater than", 2000),
            " The number of reflections is greater than  2000");
  // the scale factor is reset for the wavelength field
  EXPECT_EQ(format_line("(3I5, 4F15.3, 1P,G12.4,0P, F12.4)"_fmt, 1, 0, 0, 12.345f, 0.0f, 0.27f,
                        12.345f, 523.7f, 2.828427f),
            "    1    0    0         12.345          0.000          0.270         12.345"
            "   523.7          2.8284");
}

TEST(Records, ReversionWritesOneRecordPerPass) {
  EXPECT_EQ(format_line("(F6.1)"_fmt, 1.0f, 2.0f, 3.0f), "   1.0\n   2.0\n   3.0");
  EXPECT_EQ(format_line("(A,2(I2))"_fmt, "x", 1, 2, 3, 4), "x 1 2\n 3 4");
}

TEST(Records, WritingIntoATextField) {
  Text<20> field;
  field.assign("stale contents here");
  write_internal(field, "(1P,G13.6,0P)"_fmt, 1.0f);
  EXPECT_EQ(field.view(), "  1.00000           ");
  Text<5> small;
  EXPECT_THROW(write_internal(small, "(I6)"_fmt, 1), IoFailure);
}

}  // namespace
}  // namespace sfconv
