// Whether a space group as a file names it is the standard setting of its
// group: the setting --init may write as setting 1. The number of any other
// setting is the density program's to give, so it is never guessed.
#pragma once

#include <string>
#include <string_view>

namespace gemmi {
struct SpaceGroup;
}

namespace sfconv {

struct SettingCheck {
  bool standard = false;
  std::string why;  // when not standard, or not known to be: why, for the comment
};

// The setting of `group`, GEMMI's entry for what the file gives, shown in the
// comment as `shown`; `origin_said` when the file tells the origin choice of
// a group that has two (a ":2" in the symbol, or the operations). A group
// given by `number` (0 when none) must have that number.
SettingCheck check_setting(const gemmi::SpaceGroup* group, std::string_view shown, int number,
                           bool origin_said);

// The same for a Hermann-Mauguin symbol ("P n m a", "F d -3 m :2"); the cell
// angles alpha and gamma (0 when not known) tell GEMMI the axes of an R group
// named without ":H" or ":R".
SettingCheck check_setting(std::string_view symbol, int number, double alpha = 0.0,
                           double gamma = 0.0);

}  // namespace sfconv
