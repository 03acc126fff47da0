// What the readers compute alike: a structure factor from its modulus and
// phase angle, a time-of-flight wavelength, and a Lorentz-polarization factor.
#pragma once

#include <string_view>

#include "run/run_state.hpp"

namespace sfconv {

inline constexpr float kDegree = 0.017453292f;  // pi / 180 in single precision

// |Fo|, Fo(r) and Fo(i) of a structure factor of modulus `foabs` and phase
// angle `phi` in degrees: Fo(r) = |Fo| cos(phi), Fo(i) = |Fo| sin(phi).
void set_structure_factor(Reflection& r, float foabs, float phi);

// sin(theta) of a detector bank at `twotheta` degrees.
float bragg_sine(float twotheta);

// The wavelength a reflection of d-spacing d is seen at by that bank in time
// of flight: 2 d sin(theta).
float tof_wavelength(float d, float twotheta);

// The Lorentz-polarization factor of a powder reflection of d-spacing d, by
// GSAS diffraction type: "PXC" (X-ray, constant wavelength `lambda`, with the
// polarization fraction P and monochromator factor M as pm = P x M and
// one_minus_p = 1 - P), "PNC" (neutron, constant wavelength) or "PNT"
// (neutron time of flight, detector bank at `twotheta` degrees); 0 for any
// other type.
float lorentz_polarization(std::string_view type, float d, float lambda, float twotheta, float pm,
                           float one_minus_p);

}  // namespace sfconv
