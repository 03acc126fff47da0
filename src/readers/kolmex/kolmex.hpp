// KOLMEX reflection files (.fos): unformatted records, big- or little-endian, holding the
// title, cell, grid, space group, totals and the observed structure factors.
#pragma once

#include "readers/kolmex/record_file.hpp"

namespace sfconv {

// Reads the file into the run state as it stands and sets RELVAR, the extra
// relative variance (q2 / q1)^2 of record 5. A count above the reflection
// arrays' capacity is a recognised stop.
void kolmex(RecordFile& fos, float& RELVAR);

struct InitValues;

// What sfconv --init shows of a file: its title, cell, grid and space group.
void init_kolmex(RecordFile& fos, InitValues& v);

}  // namespace sfconv
