// The grid sfconv --init suggests and its detector-angle line (the tables in
// editing/init_grid.txt and init_angles.txt). The parameter files it writes
// are case directories under tests/cases/init/.
#include <limits>
#include <optional>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "run/init_values.hpp"
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

TEST(Init, DetectorAngleLineOfEveryRowOfTheTable) {
  auto cases = test::editing_table("init_angles.txt");
  ASSERT_GT(cases.size(), 10u);
  for (const test::EditingCase& c : cases) {
    InitValues v;
    v.reader = 'G';
    v.input = "run.lst";
    std::istringstream banks(c.format);
    for (std::string bank; banks >> bank;) {
      InitValues::Pattern& p = v.patterns.emplace_back();
      p.number = static_cast<int>(v.patterns.size());
      p.tof = true;
      p.bank = std::stoi(bank);
      const std::string angle = bank.substr(bank.find(':') + 1);
      if (angle != "?") p.angle = std::stof(angle);
    }
    // The line whose comment names it, its value before the comment.
    std::istringstream text(parameter_file_text(v));
    std::string line, got;
    while (std::getline(text, line)) {
      if (line.ends_with("# detector angles, ending with /")) got = line.substr(0, line.find('#'));
    }
    EXPECT_EQ(got.substr(0, got.find_last_not_of(' ') + 1), c.first)
        << "init_angles.txt line " << c.line;
  }
}

// F(000) where the file gives it, with where it came from; a "?" where it
// does not or gives no number.
TEST(Init, TheTotalAmplitudeWhereTheFileGivesIt) {
  const struct {
    char reader;
    std::optional<float> f000;
    std::string line;
  } cases[] = {
      {'C', 1085.6f, "1085.6                  # F(000): _exptl_crystal_F_000 of run.in"},
      {'G', 0.5f, "0.5                     # F(000) as run.in gives it"},
      {'C', std::nullopt, "?                       # the total amplitude F(000), the sum"},
      {'C', std::numeric_limits<float>::infinity(), "?                       # the total"},
  };
  for (const auto& c : cases) {
    InitValues v;
    v.reader = c.reader;
    v.input = "run.in";
    v.f000 = c.f000;
    std::istringstream text(parameter_file_text(v));
    std::string line, got;
    while (std::getline(text, line)) {
      if (line.find("F(000)") != std::string::npos) got = line;
    }
    EXPECT_EQ(got.substr(0, c.line.size()), c.line) << c.reader;
  }
}

}  // namespace
}  // namespace sfconv
