// KOLMEX reflection files (.fos): unformatted big-endian records holding the
// title, cell, grid, space group, totals and the observed structure factors.
#pragma once

#include <array>
#include <cstdint>

#include "readers/kolmex/record_file.hpp"

namespace sfconv {

// The first four records: title, cell, grid, and space group, setting and VOL.
struct KolmexHead {
  std::array<unsigned char, 70> title{};
  std::array<float, 6> cell{};
  std::array<std::int32_t, 3> grid{};
  std::int32_t SPG = 0;
  std::int32_t SET = 0;
  char VOL = ' ';
};
KolmexHead kolmex_head(RecordFile& fos);

// Reads the file into the run state as it stands and sets RELVAR, the extra
// relative variance (q2 / q1)^2 of record 5. A count above the reflection
// arrays' capacity is a recognised stop.
void kolmex(RecordFile& fos, float& RELVAR);

struct InitValues;

// What sfconv --init shows of a file: its title, cell, grid and space group.
void init_kolmex(RecordFile& fos, InitValues& v);

}  // namespace sfconv
