// The detector-angle line of the parameter file: the 2theta of each bank.
#pragma once

#include <cstdint>
#include <string_view>

#include "textio/text_input.hpp"

namespace sfconv {

// Reads the next significant line (150 columns) as up to 25 angles in degrees,
// a "/" ending a shorter list, and returns the angle of bank n. nangles is set
// to the number of the last non-zero angle. A bank outside 1..nangles is a
// recognised stop; `whose` names what the bank belongs to in its report
// ("histogram 2 of run.lst").
float det_angle(TextInput& parameters, const std::int32_t& n, std::int32_t& nangles,
                std::string_view whose = {});

// The angle table outlives the call; this empties it again.
void det_angle_reset();

}  // namespace sfconv
