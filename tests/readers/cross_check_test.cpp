// The tolerance of the cross-checks between the parameter file and the
// refinement file, at its edges (the table in editing/apart.txt).
#include <string>

#include <gtest/gtest.h>

#include "readers/cross_check.hpp"
#include "textio/editing_table.hpp"

namespace sfconv {
namespace {

TEST(CrossCheck, EveryRowOfTheTable) {
  auto cases = test::editing_table("apart.txt");
  ASSERT_GE(cases.size(), 10u);
  for (const test::EditingCase& c : cases) {
    const std::size_t blank = c.rest.find(' ');
    const float given = std::stof(c.first);
    const float printed = std::stof(c.rest.substr(0, blank));
    const bool apart =
        c.format == "angle" ? angle_apart(given, printed) : wavelength_apart(given, printed);
    EXPECT_EQ(apart ? "apart" : "same", c.rest.substr(c.rest.find_last_of(' ') + 1))
        << "apart.txt line " << c.line;
  }
}

}  // namespace
}  // namespace sfconv
