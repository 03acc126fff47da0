// The driver's part of the report: the summary's last lines and the angles in
// it as the output header writes them.
#pragma once

#include <string>

#include "textio/report.hpp"

namespace sfconv {

// An angle in degrees as the output header writes it (F7.2), without blanks.
std::string angle_text(float degrees);

// The end of the summary, once `output` is written: the cell, the reflections
// written and dropped, the file; and the warning when none was written.
void sum_up(const std::string& output);

}  // namespace sfconv
