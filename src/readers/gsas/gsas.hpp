// GSAS listings (.lst): the chosen histogram's constants, cell and reflection list.
#pragma once

#include "textio/text_input.hpp"

namespace sfconv {

// Reads the listing into the run state; may read the polarization line or the
// detector-angle line of the parameter file.
void gsas(TextInput& listing, TextInput& parameters);

}  // namespace sfconv
