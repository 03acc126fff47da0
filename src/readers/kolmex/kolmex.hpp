// KOLMEX reflection files (.fos): unformatted records, big- or little-endian, holding the
// title, cell, grid, space group, totals and the observed structure factors.
#pragma once

#include <array>
#include <cstdint>

#include "readers/kolmex/record_file.hpp"

namespace sfconv {

// The four records that head a file: the title, the cell, the grid NX NY NZ,
// and the space group with its setting and lattice letter (VOL).
struct KolmexHeader {
  std::array<unsigned char, 70> title{};
  std::array<float, 6> cell{};
  std::array<std::int32_t, 3> grid{};
  std::int32_t group = 0;
  std::int32_t setting = 0;
  unsigned char vol = 0;
};
KolmexHeader read_kolmex_header(RecordFile& fos);

// Reads the file into the run state as it stands and sets RELVAR, the extra
// relative variance (q2 / q1)^2 of record 5. A count above the reflection
// arrays' capacity is a recognised stop.
void kolmex(RecordFile& fos, float& RELVAR);

struct InitValues;

// What sfconv --init shows of a file: its title, cell, grid and space group.
void init_kolmex(RecordFile& fos, InitValues& v);

}  // namespace sfconv
