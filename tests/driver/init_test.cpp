// The grid sfconv --init suggests (the table in editing/init_grid.txt). The
// parameter files it writes are case directories under tests/cases/init/.
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "driver/init.hpp"
#include "textio/editing_table.hpp"

namespace sfconv {
namespace {

TEST(Init, GridOfEveryCellOfTheTable) {
  auto cases = test::editing_table("init_grid.txt");
  ASSERT_GT(cases.size(), 15u);
  for (const test::EditingCase& c : cases) {
    Cell cell{0, 0, 0, 90, 90, 90};
    std::istringstream(c.first) >> cell[0] >> cell[1] >> cell[2];
    const auto grid = suggested_grid(cell, c.format[0], std::stoi(c.format.substr(2)));
    EXPECT_EQ(
        std::to_string(grid[0]) + " " + std::to_string(grid[1]) + " " + std::to_string(grid[2]),
        c.rest)
        << "init_grid.txt line " << c.line;
  }
}

}  // namespace
}  // namespace sfconv
