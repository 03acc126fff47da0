// FullProf outputs (.out) with their second file of moduli and phase angles.
#pragma once

#include "textio/text_input.hpp"

namespace sfconv {

// Reads the output and the second file into the run state; may read the
// detector-angle line of the parameter file.
//
// The output is read forward to " => Run finished" to find the last refinement
// cycle, rewound once, and read again from just after that cycle's marker to
// the phase, the profile parameters, the cell and the reflection table of
// `histogram` and `phase_no`. The table is then read in step with the second
// file (FILEIN2): one record of the second file per reflection line.
//
// Both the layouts of older FullProf versions and those of FullProf 6.x and
// later are read: the table marker with "Phase No.:", the table two columns
// further right, and cell values in 16 columns (as from 5.60 on). Each record
// of the second file gives the modulus in columns 13-24 and the phase angle in
// 37-48, as FullProf writes them when the .pcr has Fou=4; h, k, l in columns
// 1-12, when there, must match the table line the record is paired with, and
// a record without a phase angle (the file FullProf writes with Fou=2) is
// refused.
void fullprof(TextInput& output, TextInput& parameters);

struct InitValues;

// What sfconv --init takes from an output, all of it told before the first
// refinement cycle: the title, the .pcr's code, each pattern's radiation and
// wavelength or time-of-flight bank angle, the phases with their names and
// space groups, and the first phase's starting cell.
void init_fullprof(TextInput& output, InitValues& v);

}  // namespace sfconv
