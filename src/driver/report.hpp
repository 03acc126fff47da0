// What a run met on its way: the summary that -v prints and the warnings
// printed after a successful run. Nothing here changes a byte of the output.
#pragma once

#include <string>
#include <vector>

namespace sfconv {

struct RunReport {
  std::vector<std::string> facts;     // summary lines, without "sfconv: "
  std::vector<std::string> warnings;  // without "sfconv: warning: "
  // Reflections the reader passed over.
  long dropped_zero_intensity = 0;  // FullProf: Iobs exactly 0.0
  long dropped_code = 0;            // GSAS: another phase's code
  long dropped_f2 = 0;              // GSAS: an F^2 value not positive
  std::string no_reflection_why;    // why a reader found none, when it knows
};

extern RunReport REPORT;

inline void note(std::string line) {
  REPORT.facts.push_back(std::move(line));
}
inline void warn(std::string line) {
  REPORT.warnings.push_back(std::move(line));
}

// An angle in degrees as the output header writes it (F7.2), without blanks.
std::string angle_text(float degrees);

}  // namespace sfconv
