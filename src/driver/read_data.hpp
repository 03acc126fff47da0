// The parameter file after its head of file names: the values the
// structure-factor file needs and the refinement program's file lacks, read
// into the run state.
#pragma once

#include <vector>

#include "textio/line_hint.hpp"
#include "textio/text_input.hpp"

namespace sfconv {

// GSAS listings and FullProf outputs: title, space group, E, grid, IAMP,
// totals, lambda0, histogram and phase. Stops on an E not above 0, a grid
// division below 1, an IAMP other than 0 or 1 and a negative histogram number.
void read_data_gsas_fullprof(TextInput& parameters);

// What each significant line of a parameter file for reader `prog` ('G', 'F',
// 'R' or 'C') holds, from the first on; the last place of a GSAS, FullProf
// or CIF file is the line the reader may take (polarization, detector angles).
std::vector<Place> parameter_places(char prog);

// KOLMEX reflection files: E, IAMP and lambda0 (the rest is in the file).
// Stops on an E not above 0.
void read_data_kolmex(TextInput& parameters);

}  // namespace sfconv
