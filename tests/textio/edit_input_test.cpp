// Input editors: every field-editing example, the number forms and the
// failures (the table in editing/input.txt), then fields within records.
#include <charconv>
#include <string>

#include <gtest/gtest.h>

#include "textio/edit.hpp"
#include "textio/editing_table.hpp"
#include "textio/failure.hpp"
#include "textio/numeric_input.hpp"

namespace sfconv {
namespace {

const Origin kHere{"test.txt", 3, ""};

// Each line of editing/input.txt: a field read with a format, or the failure
// it gives.
TEST(InputEditing, EveryFieldOfTheTable) {
  auto cases = test::editing_table("input.txt");
  ASSERT_GT(cases.size(), 60u);
  for (const test::EditingCase& c : cases) {
    Format f = Format::parse(c.format);
    const bool integer = f.edit[f.edit[0].kind == EditKind::X ? 1 : 0].kind == EditKind::I;
    std::int32_t i = 0;
    float r = 0;
    InItems items;
    if (integer) {
      items.add(i);
    } else {
      items.add(r);
    }
    std::string got;
    try {
      InternalRecord record(c.first, kHere);
      read_items(record, f, items, false);
      got = "ok";
    } catch (const IoFailure& failure) {
      got = failure.message == msg::illegal_character  ? "illegal"
            : failure.message == msg::integer_overflow ? "overflow"
                                                       : failure.message;
    }
    std::string where = "input.txt line " + std::to_string(c.line) + ": \"" + c.first + "\"";
    if (c.rest == "illegal" || c.rest == "overflow") {
      EXPECT_EQ(got, c.rest) << where;
      continue;
    }
    ASSERT_EQ(got, "ok") << where;
    const char* end = c.rest.data() + c.rest.size();
    if (integer) {
      std::int32_t want = 0;
      ASSERT_EQ(std::from_chars(c.rest.data(), end, want).ptr, end) << where;
      EXPECT_EQ(i, want) << where;
    } else {
      float want = 0;
      ASSERT_EQ(std::from_chars(c.rest.data(), end, want).ptr, end) << where;
      EXPECT_EQ(r, want) << where;
    }
  }
}

// Reads `record` as a one-record text.
template <typename... T>
void read_text(std::string_view record, const Format& f, T&&... items) {
  read_internal(record, kHere, f, std::forward<T>(items)...);
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

TEST(FieldInput, IllegalCharacterIsReportedForTheRecord) {
  std::int32_t n = 0;
  try {
    read_text("abc", "(I3)"_fmt, n);
    FAIL() << "no failure";
  } catch (const IoFailure& f) {
    EXPECT_EQ(f.message, "Illegal character in numeric input");
    EXPECT_EQ(f.statement, "READ");
    EXPECT_EQ(f.unit, IoFailure::kInternal);
    EXPECT_NE(f.header.find("test.txt, line 3"), std::string::npos) << f.header;
  }
}

TEST(FieldInput, ATextFieldHasOneRecordOnly) {
  float a = 0, b = 0;
  try {
    read_text("1.0", "(F5.1/F5.1)"_fmt, a, b);
    FAIL() << "no failure";
  } catch (const IoFailure& f) {
    EXPECT_EQ(f.message, "Attempt to read past end of file");
    EXPECT_EQ(f.unit, IoFailure::kInternal);
  }
  EXPECT_EQ(a, 1.0f);
}

}  // namespace
}  // namespace sfconv
