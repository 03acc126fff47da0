// Numbers in input fields and free-form values: decimal text to 32-bit
// integers and single-precision reals, without locale or allocation.
#pragma once

#include <cstdint>
#include <string_view>

#include "textio/chars.hpp"

namespace sfconv {

enum class NumResult { ok, illegal, overflow };

// An optional sign and decimal digits. Blanks and tabs are ignored wherever
// they stand; a blank field is zero. A value outside 32 bits is an overflow.
NumResult read_integer(std::string_view field, std::int32_t& value);

// An optional sign, digits with an optional decimal point, and an optional
// exponent: E, e, D or d with an optional sign and digits, or a sign and digits
// alone ("1.5-3" is 0.0015). Q or q ends the number. Without a decimal point,
// one is implied in front of the last `implied` digits of the mantissa. Blanks
// and tabs are ignored; a blank field is zero. The value is the nearest single-
// precision one; beyond the single-precision range it is an infinity or zero.
NumResult read_real(std::string_view field, int implied, float& value);

// The number a text holds, as above; false for a blank text too.
bool number_in(std::string_view text, std::int32_t& value);
bool number_in(std::string_view text, int implied, float& value);

// The number that fills a line after the marker it begins with: " => Phase  No. 1".
inline bool number_after(std::string_view line, std::string_view marker, std::int32_t& value) {
  return number_in(rest_of(line, marker.size()), value);
}

}  // namespace sfconv
