// Structure factors and time-of-flight wavelengths, in single precision in the
// order written, with the project's own sine and cosine.
#include "readers/structure_factor.hpp"

#include "readers/trig.hpp"

namespace sfconv {

void set_structure_factor(Reflection& r, float foabs, float phi) {
  const float rad = phi * kDegree;
  r.FOABS = foabs;
  r.FOR = foabs * sfconv::cos(rad);
  r.FOI = foabs * sfconv::sin(rad);
}

float bragg_sine(float twotheta) {
  return sfconv::sin((twotheta * 0.5f) * kDegree);
}

float tof_wavelength(float d, float twotheta) {
  return (d + d) * bragg_sine(twotheta);
}

}  // namespace sfconv
