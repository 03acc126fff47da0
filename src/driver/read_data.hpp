// The parameter file after its head of file names: the values the
// structure-factor file needs and the refinement program's file lacks, read
// into the run state.
#pragma once

#include "textio/text_input.hpp"

namespace sfconv {

// GSAS listings and FullProf outputs: title, space group, E, grid, IAMP,
// totals, lambda0, histogram and phase. Stops on an IAMP other than 0 or 1 and
// on a negative histogram number.
void read_data_gsas_fullprof(TextInput& parameters);

// KOLMEX reflection files: E, IAMP and lambda0 (the rest is in the file).
void read_data_kolmex(TextInput& parameters);

}  // namespace sfconv
