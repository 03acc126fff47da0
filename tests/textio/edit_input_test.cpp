// Input editors: every field-editing example, the number forms and the
// failures (the table in editing/input.txt), then text fields.
#include <charconv>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "textio/edit.hpp"
#include "textio/editing_table.hpp"
#include "textio/failure.hpp"
#include "textio/numeric_input.hpp"

namespace sfconv {
namespace {

const Origin kHere{"test.txt", 3, ""};

// Each line of editing/input.txt: fields read with a format, or the failure
// they give. An expected value of digits only is an integer's.
TEST(InputEditing, EveryFieldOfTheTable) {
  auto cases = test::editing_table("input.txt");
  ASSERT_GT(cases.size(), 60u);
  for (const test::EditingCase& c : cases) {
    const std::string where = "input.txt line " + std::to_string(c.line) + ": \"" + c.first + "\"";
    const Format f = Format::parse(c.format);
    const bool failure = c.rest == "illegal" || c.rest == "overflow";
    std::vector<std::string> want;
    std::istringstream words(c.rest);
    for (std::string w; words >> w;) want.push_back(w);
    std::vector<std::int32_t> ints(want.size());
    std::vector<float> reals(want.size());
    std::vector<bool> integer(want.size());
    InItems items;
    for (std::size_t k = 0; k < want.size(); ++k) {
      integer[k] = failure ? f.edit[f.edit[0].kind == EditKind::X ? 1 : 0].kind == EditKind::I
                           : want[k].find_first_not_of("-0123456789") == std::string::npos;
      integer[k] ? items.add(ints[k]) : items.add(reals[k]);
    }
    std::string got = "ok";
    try {
      InternalRecord record(c.first, kHere);
      read_items(record, f, items, false);
    } catch (const IoFailure& e) {
      got = e.message == msg::illegal_character  ? "illegal"
            : e.message == msg::integer_overflow ? "overflow"
                                                 : e.message;
    }
    if (failure) {
      EXPECT_EQ(got, c.rest) << where;
      continue;
    }
    ASSERT_EQ(got, "ok") << where;
    for (std::size_t k = 0; k < want.size(); ++k) {
      const char* end = want[k].data() + want[k].size();
      std::int32_t i = 0;
      float r = 0;
      if (integer[k]) {
        ASSERT_EQ(std::from_chars(want[k].data(), end, i).ptr, end) << where;
        EXPECT_EQ(ints[k], i) << where << ", value " << k;
      } else {
        ASSERT_EQ(std::from_chars(want[k].data(), end, r).ptr, end) << where;
        EXPECT_EQ(reals[k], r) << where << ", value " << k;
      }
    }
  }
}

// Reads `record` as a one-record text.
template <typename... T>
void read_text(std::string_view record, const Format& f, T&&... items) {
  read_internal(record, kHere, f, std::forward<T>(items)...);
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

}  // namespace
}  // namespace sfconv
