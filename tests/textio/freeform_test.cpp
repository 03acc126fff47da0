// Free-form values: separators, null values, repeats, the slash, failures.
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "textio/editing_table.hpp"
#include "textio/failure.hpp"
#include "textio/freeform.hpp"

namespace sfconv {
namespace {

const Origin kLine{"params.txt", 7, "NX NY NZ"};

// Each line of editing/freeform.txt: the items after reading one line.
TEST(FreeForm, EveryExampleOfTheTable) {
  auto cases = test::editing_table("freeform.txt");
  ASSERT_GT(cases.size(), 15u);
  for (const test::EditingCase& c : cases) {
    std::vector<std::int32_t> ints(c.format.size(), -7);
    std::vector<float> reals(c.format.size(), -7.5f);
    InItems items;
    for (std::size_t k = 0; k < c.format.size(); ++k) {
      if (c.format[k] == 'i') {
        items.add(ints[k]);
      } else {
        items.add(reals[k]);
      }
    }
    std::string got;
    try {
      InternalRecord record(c.first, kLine);
      read_free_items(record, items);
    } catch (const IoFailure& f) {
      EXPECT_EQ(f.unit, IoFailure::kInternal);
      got = f.message == msg::end_of_file         ? "end-of-file "
            : f.message == msg::illegal_character ? "illegal "
            : f.message == msg::integer_overflow  ? "overflow "
                                                  : f.message + " ";
    }
    for (std::size_t k = 0; k < c.format.size(); ++k) {
      std::ostringstream value;
      if (c.format[k] == 'i') {
        value << ints[k];
      } else {
        value << reals[k];
      }
      bool kept = c.format[k] == 'i' ? ints[k] == -7 : reals[k] == -7.5f;
      got += (kept ? std::string("-") : value.str()) + (k + 1 < c.format.size() ? " " : "");
    }
    EXPECT_EQ(got, c.rest) << "freeform.txt line " << c.line << ": \"" << c.first << "\"";
  }
}

}  // namespace
}  // namespace sfconv
