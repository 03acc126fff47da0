// Output editors: every field-editing example and the edges around them (the
// table in editing/output.txt), then text fields.
#include <charconv>
#include <string>

#include <gtest/gtest.h>

#include "textio/edit.hpp"
#include "textio/editing_table.hpp"

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

}  // namespace
}  // namespace sfconv
