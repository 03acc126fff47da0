// The detector-angle line of the parameter file: the 2theta of each bank.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "textio/text_input.hpp"

namespace sfconv {

// Angles of banks 1 to 25; an entry of exactly zero counts as not given.
using AngleTable = std::array<float, 25>;

// Reads the next significant line (150 columns) as up to 25 angles in degrees
// into `table`, a "/" ending a shorter list (the entries after it keep their
// values), and returns the angle of bank n. nangles is set to the number of
// the last non-zero angle. A bank outside 1..nangles, or whose angle is not
// strictly between 0 and 180 degrees, is a recognised stop;
// `whose` names what the bank belongs to in its report ("histogram 2 of
// run.lst").
float det_angle(TextInput& parameters, const std::int32_t& n, std::int32_t& nangles,
                AngleTable& table, std::string_view whose = {});

}  // namespace sfconv
