// Structure factors and time-of-flight wavelengths, in single precision in the
// order written, with the project's own sine and cosine.
#include "readers/structure_factor.hpp"

#include <cmath>

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

float lorentz_polarization(std::string_view type, float d, float lambda, float twotheta, float pm,
                           float one_minus_p) {
  float sn = 0.0f;  // sin(theta) and cos(theta), constant wavelength
  float cs = 0.0f;
  if (type.size() == 3 && type[2] == 'C') {
    sn = (lambda * 0.5f) / d;
    cs = std::sqrt(1.0f - sn * sn);  // correctly rounded by IEEE 754, the same on every machine
  }
  if (type == "PXC") {
    float t = (sn + sn) * sn;  // 2 sin^2(theta); 1 - t is cos(2 theta)
    float c2 = 1.0f - t;
    return (pm * (c2 * c2) + one_minus_p) / (t * cs);
  }
  if (type == "PNC") return 0.5f / ((sn * sn) * cs);
  if (type == "PNT") return ((d * d) * (d * d)) * bragg_sine(twotheta);  // the bank's angle
  return 0.0f;
}

}  // namespace sfconv
