// Values typed into the parameter file against those a refinement file
// prints: a detector angle or a wavelength typed wrong changes the output.
#pragma once

#include <cmath>

namespace sfconv {

// Whether a value given in the parameter file lies more than `limit` from the
// one the file prints; half a unit of the last place of either, as single
// precision holds them, is no difference (144.85 and 144.845 are 0.005 apart).
inline bool apart(float given, float printed, double limit) {
  const double slack = (std::fabs(double{given}) + std::fabs(double{printed})) * 0x1p-24;
  return std::fabs(double{given} - double{printed}) > limit + slack;
}

// A detector angle more than 0.005 degrees from the printed one.
inline bool angle_apart(float given, float printed) {
  return apart(given, printed, 0.005);
}

// A wavelength more than 1 part in 10^4 from the printed one.
inline bool wavelength_apart(float given, float printed) {
  return apart(given, printed, 1e-4 * std::fabs(double{printed}));
}

}  // namespace sfconv
