// The structure-factor file: header lines beginning with '#', then one record
// per reflection with its standard deviation.
#pragma once

#include "textio/text_output.hpp"

namespace sfconv {

// Writes the whole file from the run state. RELVAR is the extra relative
// variance inside every standard deviation (0 but for KOLMEX files).
void write_structure_factors(TextOutput& out, float RELVAR);

// sigma(|Fo|) = 0.5 |Fo| sqrt(1/(E Io) + RELVAR), in single precision and in
// this order; no guard: a zero product gives an infinity, a negative one NaN.
float sigma_fo(float E, float io, float foabs, float RELVAR);

}  // namespace sfconv
