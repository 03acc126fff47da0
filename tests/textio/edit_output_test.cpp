// Output editors: every field-editing example and the edges around them (the
// table in editing/output.txt), then text fields, records and reversion.
#include <charconv>
#include <string>

#include <gtest/gtest.h>

#include "textio/edit.hpp"
#include "textio/editing_table.hpp"
#include "textio/failure.hpp"

namespace sfconv {
namespace {

// Each line of editing/output.txt: a value written with a format.
TEST(OutputEditing, EveryFieldOfTheTable) {
  auto cases = test::editing_table("output.txt");
  ASSERT_GT(cases.size(), 60u);
  for (const test::EditingCase& c : cases) {
    Format f = Format::parse(c.format);
    OutItems items;
    const char* end = c.first.data() + c.first.size();
    if (f.edit[0].kind == EditKind::I) {
      std::int32_t v = 0;
      ASSERT_EQ(std::from_chars(c.first.data(), end, v).ptr, end) << "line " << c.line;
      items.add(v);
    } else {
      float v = 0;
      ASSERT_EQ(std::from_chars(c.first.data(), end, v).ptr, end) << "line " << c.line;
      items.add(v);
    }
    std::string out;
    write_items(out, f, items);
    EXPECT_EQ(out, c.rest) << "output.txt line " << c.line << ": " << c.format << " of " << c.first;
  }
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
