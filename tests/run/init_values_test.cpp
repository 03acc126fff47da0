// The grid sfconv --init suggests and its detector-angle line (the tables in
// editing/init_grid.txt and init_angles.txt, and every space group as GEMMI
// knows it). The parameter files it writes are case directories under
// tests/cases/init/.
#include <cmath>
#include <limits>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <gemmi/symmetry.hpp>

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

// Cells of each crystal system as GEMMI's first setting of a group has them
// (monoclinic b unique, rhombohedral groups on hexagonal axes), with lengths
// that fall at different places between multiples of 0.1 A.
std::vector<Cell> cells_of(gemmi::CrystalSystem system) {
  using S = gemmi::CrystalSystem;
  std::vector<Cell> cells;
  for (float a : {3.0417f, 5.43119f, 10.604117f, 17.7707f}) {
    const float b = a * 1.37f + 0.311f;
    const float c = a * 0.61f + 2.523f;
    switch (system) {
      case S::Triclinic:
        cells.push_back({a, b, c, 81.2f, 97.4f, 102.9f});
        break;
      case S::Monoclinic:
        cells.push_back({a, b, c, 90, 103.1f, 90});
        break;
      case S::Orthorhombic:
        cells.push_back({a, b, c, 90, 90, 90});
        break;
      case S::Tetragonal:
        cells.push_back({a, a, c, 90, 90, 90});
        break;
      case S::Trigonal:
      case S::Hexagonal:
        cells.push_back({a, a, c, 90, 90, 120});
        break;
      case S::Cubic:
        cells.push_back({a, a, a, 90, 90, 90});
        break;
    }
  }
  return cells;
}

// Whether the grid NX NY NZ maps onto itself under the operation: along each
// axis the translation is a whole number of steps, and a rotation that takes
// axis c to axis r (x to y in a 4-fold or 3-fold axis, say) takes steps of c
// to whole steps of r.
bool grid_holds(const std::array<int, 3>& n, const gemmi::Op& op, std::string& why) {
  constexpr int den = gemmi::Op::DEN;
  for (int r = 0; r < 3; ++r) {
    if (n[r] * op.tran[r] % den != 0) {
      why = "translation " + std::to_string(op.tran[r]) + "/24 along axis " + std::to_string(r);
      return false;
    }
    for (int c = 0; c < 3; ++c) {
      if (n[r] * op.rot[r][c] % (den * n[c]) != 0) {
        why = "rotation takes axis " + std::to_string(c) + " to axis " + std::to_string(r);
        return false;
      }
    }
  }
  return true;
}

// Every one of the 230 groups, checked against its operations (centring
// included) as GEMMI gives them, not against a rule of sfconv's own: the
// grid must map onto itself under each, with steps of at most 0.1 A and not
// much finer.
TEST(Init, GridFitsEveryOperationOfEverySpaceGroup) {
  for (int number = 1; number <= 230; ++number) {
    const gemmi::SpaceGroup* sg = gemmi::find_spacegroup_by_number(number);
    ASSERT_NE(sg, nullptr) << number;
    const gemmi::GroupOps ops = sg->operations();
    for (const Cell& cell : cells_of(sg->crystal_system())) {
      const auto grid = suggested_grid(cell, sg->hm[0], number);
      const std::string what = sg->xhm() + " (" + std::to_string(number) + "), grid " +
                               std::to_string(grid[0]) + " " + std::to_string(grid[1]) + " " +
                               std::to_string(grid[2]) + ", a = " + std::to_string(cell[0]);
      for (int i = 0; i < 3; ++i) {
        EXPECT_GE(grid[i], cell[i] * 10.0f) << what << ": steps above 0.1 A along axis " << i;
        EXPECT_LT(grid[i], cell[i] * 10.0f + 12) << what << ": steps finer than needed";
      }
      std::string why;
      for (const gemmi::Op& op : ops) {
        if (!grid_holds(grid, op, why)) {
          ADD_FAILURE() << what << " does not fit " << op.triplet() << ": " << why;
          break;
        }
      }
    }
  }
}

// A group not known: the grid fits the translations of every group (its
// rotations need the lengths the group gives its cell, unknown here).
TEST(Init, GridOfAnUnknownGroupFitsEveryTranslation) {
  const Cell cell{5.43119f, 7.7707f, 10.604117f, 90, 90, 90};
  const auto grid = suggested_grid(cell, 'P', 0);
  for (int number = 1; number <= 230; ++number) {
    for (const gemmi::Op& op : gemmi::find_spacegroup_by_number(number)->operations()) {
      for (int r = 0; r < 3; ++r) {
        EXPECT_EQ(grid[r] * op.tran[r] % gemmi::Op::DEN, 0) << number << " " << op.triplet();
      }
    }
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
