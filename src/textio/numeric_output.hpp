// Output editors: one numeric field each, appended to a record.
//
// Reals are shown with at most 8 significant digits, the correctly rounded
// decimal of the single-precision value; positions beyond them are zeros.
// Those digits are then rounded at the field's last place by the first dropped
// digit, ties away from zero. A value that does not fit fills the field with
// asterisks.
#pragma once

#include <cstdint>
#include <string>

namespace sfconv {

// Iw: right-justified digits, "-" for a negative value.
void put_integer(std::string& out, int w, std::int32_t value);

// Fw.d: fixed point; "0" before the point when there is room; no "-" on a
// value that rounds to zero.
void put_fixed(std::string& out, int w, int d, float value);

// Ew.d with scale factor k: the exponent form, as Gw.d uses it for magnitudes
// outside its fixed range.
void put_exponent(std::string& out, int w, int d, int k, float value);

// Gw.d with scale factor k: F(w-4).(d-e) and four blanks for magnitudes from
// 0.1 to 10^d, the exponent form otherwise.
void put_general(std::string& out, int w, int d, int k, float value);

}  // namespace sfconv
