// Which space-group symbols --init may write as setting 1: the standard
// setting of the group as GEMMI lists it first, never a guess.
#include <gtest/gtest.h>

#include "readers/space_group.hpp"

namespace sfconv {
namespace {

TEST(SpaceGroupSetting, StandardOnlyWhereTheSymbolSaysSo) {
  struct Case {
    const char* symbol;
    int number;
    double alpha, gamma;  // the cell's, 0 when not known
    bool standard;
  };
  const Case cases[] = {
      {"P n m a", 62, 0, 0, true},
      {"P b n m", 62, 0, 0, false},  // another setting of 62
      {"P 1 21/c 1", 14, 0, 0, true},
      {"P 21/c", 14, 0, 0, true},   // the short name of the same
      {"P 21/n", 14, 0, 0, false},  // cell choice 2
      {"C 2/c", 15, 0, 0, true},
      {"A 2/a", 15, 0, 0, false},
      {"P 4/n m m :1", 129, 0, 0, true},
      {"P 4/n m m :2", 129, 0, 0, false},  // origin choice 2
      {"P 4/n m m", 129, 0, 0, false},     // which origin choice is not said
      {"F d -3 m :2", 227, 0, 0, false},
      {"F d -3 m :1", 227, 0, 0, true},
      {"F m -3 m", 225, 0, 0, true},
      {"R -3 c", 167, 90, 120, true},  // hexagonal axes
      {"R -3 c", 167, 85, 85, false},  // rhombohedral axes, from the cell
      {"R -3 c :R", 167, 0, 0, false},
      {"P 42/m n m", 136, 0, 0, true},
      {"P m -3 m", 221, 0, 0, true},
      {"P m -3 m", 225, 0, 0, false},  // the name is not the number's group
      {"P q r s", 1, 0, 0, false},     // GEMMI knows no such group
  };
  for (const Case& c : cases) {
    const SettingCheck got = check_setting(c.symbol, c.number, c.alpha, c.gamma);
    EXPECT_EQ(got.standard, c.standard) << c.symbol << " (" << c.number << "): " << got.why;
    EXPECT_EQ(got.why.empty(), c.standard) << c.symbol;
  }
}

}  // namespace
}  // namespace sfconv
