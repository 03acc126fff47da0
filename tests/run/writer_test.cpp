// sigma(|Fo|) as the writer computes it for reflections without their own
// (the table in editing/sigma.txt): single precision in a fixed order, whose
// last digit another order changes.
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "run/writer.hpp"
#include "textio/editing_table.hpp"

namespace sfconv {
namespace {

TEST(Writer, SigmaOfEveryRowOfTheTable) {
  auto cases = test::editing_table("sigma.txt");
  ASSERT_GE(cases.size(), 6u);
  for (const test::EditingCase& c : cases) {
    std::istringstream row(c.format + " " + c.first + " " + c.rest);
    float e = 0, io = 0, fo = 0, relvar = 0, sigma = 0;
    ASSERT_TRUE(row >> e >> io >> fo >> relvar >> sigma) << "sigma.txt line " << c.line;
    EXPECT_EQ(sigma_fo(e, io, fo, relvar), sigma) << "sigma.txt line " << c.line;
  }
}

}  // namespace
}  // namespace sfconv
