// FullProf outputs (.out) with their second file of moduli and phase angles.
#pragma once

#include "textio/text_input.hpp"

namespace sfconv {

// Reads the output and the second file into the run state; may read the
// detector-angle line of the parameter file.
void fullprof(TextInput& output, TextInput& parameters);

}  // namespace sfconv
