// GSAS listings (.lst): the chosen histogram's constants, cell and reflection list.
#pragma once

#include <cstdint>

#include "textio/text_input.hpp"

namespace sfconv {

// Reads the listing into the run state, once and forward; may read the
// polarization line ("PXC") or the detector-angle line ("PNT") of the
// parameter file.
void gsas(TextInput& listing, TextInput& parameters);

// One record of a GSAS reflection list, as decoded from its columns.
struct GsasRecord {
  std::int32_t h = 0, k = 0, l = 0;
  std::int32_t multiplicity = 0;
  std::int32_t code = 0;   // reflection code: phase number x 1000 + 21 for a used one
  float d = 0.0f;          // d-spacing
  float intensity = 0.0f;  // the F^2 that gives Io
  float amplitude = 0.0f;  // the F^2 that gives |Fo|
  float phase = 0.0f;      // structure-factor phase angle, degrees
};

// What the reader knows besides the run state when it stores a reflection.
struct GsasWorking {
  float pm = 0.0f;           // polarization fraction x monochromator factor ("PXC")
  float one_minus_p = 0.0f;  // 1 - polarization fraction ("PXC")
  bool fraction_found = false;
};

// Stores an accepted record as reflection i (0 = the first) from DIFTYP,
// lambda, twotheta and PHFRAC: |Fo|, its real and imaginary parts, Io and, for
// "PNT", the wavelength. Returns the Lorentz-polarization factor it used.
float gsas_store(int i, const GsasRecord& r, const GsasWorking& w);

struct InitValues;

// What sfconv --init takes from a listing: the title of its page headers, the
// histograms under the diffractometer constants with their types and
// wavelengths, what the " Hstgm" tables print of them (bank, 2-theta,
// polarization), the phases and the first lattice parameters.
void init_gsas(TextInput& listing, InitValues& v);

}  // namespace sfconv
