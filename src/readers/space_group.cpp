// The standard setting of a space group, as GEMMI lists the settings.
#include "readers/space_group.hpp"

#include <gemmi/symmetry.hpp>

#include "textio/failure.hpp"

namespace sfconv {

SettingCheck check_setting(const gemmi::SpaceGroup* group, std::string_view shown, int number,
                           bool origin_said) {
  if (group == nullptr) return {false, cat("GEMMI knows no space group ", quoted(shown))};
  if (number != 0 && group->number != number) {
    return {false,
            cat(quoted(shown), " is space group ", group->number, " to GEMMI, not ", number)};
  }
  // GEMMI lists the standard setting of each number first: origin choice 1,
  // the hexagonal axes of an R group, unique axis b and cell choice 1.
  const gemmi::SpaceGroup* standard = gemmi::find_spacegroup_by_number(group->number);
  if (group != standard) {
    return {false, cat(quoted(shown), " is not the standard setting of space group ", group->number,
                       " (", standard->xhm(), ")")};
  }
  if (!origin_said && (group->ext == '1' || group->ext == '2')) {
    return {false, cat(quoted(shown), " does not say which origin choice of space group ",
                       group->number, " it is (", standard->xhm(), " or :2)")};
  }
  return {true, ""};
}

SettingCheck check_setting(std::string_view symbol, int number, double alpha, double gamma) {
  const gemmi::SpaceGroup* group =
      gemmi::find_spacegroup_by_name(std::string(symbol), alpha, gamma);
  return check_setting(group, symbol, number, symbol.find(':') != std::string_view::npos);
}

}  // namespace sfconv
