// What the GSAS and FullProf readers compute alike: a structure factor from
// its modulus and phase angle, and a time-of-flight wavelength.
#pragma once

#include "driver/run_state.hpp"

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

}  // namespace sfconv
