// What a run met on its way: the facts the -v summary prints and the warnings
// printed after a successful run. Nothing here changes a byte of the output.
#pragma once

#include <string>
#include <vector>

#include "textio/failure.hpp"

namespace sfconv {

struct RunReport {
  std::vector<std::string> facts;     // summary lines, without "sfconv: "
  std::vector<std::string> warnings;  // without "sfconv: warning: "
  // Reflections the reader passed over.
  long dropped_zero_intensity = 0;  // FullProf: Iobs exactly 0.0
  long dropped_code = 0;            // GSAS: another phase's code
  long dropped_f2 = 0;              // GSAS: an F^2 value not positive
  long dropped_no_value = 0;        // CIF: no observed value (? or .)
  long dropped_not_positive = 0;    // CIF: an observed value not positive
  std::string no_reflection_why;    // why a reader found none, when it knows
};

extern RunReport REPORT;

// A fact or a warning made of the texts of its arguments, as cat() makes it.
template <typename... Args>
void note(const Args&... text) {
  REPORT.facts.push_back(cat(text...));
}
template <typename... Args>
void warn(const Args&... text) {
  REPORT.warnings.push_back(cat(text...));
}

}  // namespace sfconv
