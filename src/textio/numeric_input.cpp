// Numbers in input fields and free-form values.
#include "textio/numeric_input.hpp"

#include <charconv>
#include <cstdlib>
#include <limits>
#include <system_error>

#include "textio/chars.hpp"

namespace sfconv {

NumResult read_integer(std::string_view field, std::int32_t& value) {
  bool negative = false, sign_seen = false, digit_seen = false;
  std::int64_t magnitude = 0;
  for (char c : field) {
    if (is_blank(c)) continue;
    if ((c == '-' || c == '+') && !sign_seen && !digit_seen) {
      sign_seen = true;
      negative = c == '-';
    } else if (is_digit(c)) {
      digit_seen = true;
      magnitude = magnitude * 10 + (c - '0');
      if (magnitude > std::int64_t{1} << 31) return NumResult::overflow;
    } else {
      return NumResult::illegal;
    }
  }
  if (sign_seen && !digit_seen) return NumResult::illegal;
  if (negative) magnitude = -magnitude;
  if (magnitude > std::numeric_limits<std::int32_t>::max()) return NumResult::overflow;
  value = static_cast<std::int32_t>(magnitude);
  return NumResult::ok;
}

NumResult read_real(std::string_view field, int implied, float& value) {
  // Significant digits beyond these are folded into one sticky digit, which
  // keeps the rounding to single precision exact.
  constexpr int kMaxDigits = 120;
  char text[kMaxDigits + 24];
  int kept = 0;
  bool negative = false, sign_seen = false, point_seen = false, any = false;
  bool mantissa_digit = false, dropped_nonzero = false;
  long scale = 0;  // power of ten to apply to the kept digits
  enum { mantissa, exponent_sign, exponent_digits } part = mantissa;
  bool exp_negative = false, exp_digit = false;
  long exponent = 0;

  for (char c : field) {
    if (is_blank(c)) continue;
    any = true;
    if (c == 'q' || c == 'Q') break;
    if (part == mantissa) {
      if (is_digit(c)) {
        mantissa_digit = true;
        if (point_seen) --scale;
        if (kept == 0 && c == '0') continue;  // leading zero
        if (kept < kMaxDigits) {
          text[kept++] = c;
        } else {
          ++scale;
          dropped_nonzero |= c != '0';
        }
      } else if (c == '.' && !point_seen) {
        point_seen = true;
      } else if ((c == '-' || c == '+') && !sign_seen && !mantissa_digit && !point_seen) {
        sign_seen = true;
        negative = c == '-';
      } else if (mantissa_digit && (c == 'e' || c == 'E' || c == 'd' || c == 'D')) {
        part = exponent_sign;
      } else if (mantissa_digit && (c == '-' || c == '+')) {
        exp_negative = c == '-';
        part = exponent_digits;
      } else {
        return NumResult::illegal;
      }
    } else if (part == exponent_sign && (c == '-' || c == '+')) {
      exp_negative = c == '-';
      part = exponent_digits;
    } else if (is_digit(c)) {
      part = exponent_digits;
      exp_digit = true;
      if (exponent < 1000000) exponent = exponent * 10 + (c - '0');
    } else {
      return NumResult::illegal;
    }
  }
  if (!any) {
    value = 0.0f;
    return NumResult::ok;
  }
  if (!mantissa_digit || (part != mantissa && !exp_digit)) return NumResult::illegal;

  if (!point_seen) scale -= implied;
  scale += exp_negative ? -exponent : exponent;
  if (kept == 0) {
    value = negative ? -0.0f : 0.0f;
    return NumResult::ok;
  }
  if (dropped_nonzero) {
    text[kept++] = '1';
    --scale;
  }
  int len = kept;
  text[len++] = 'e';
  auto [end, ec] = std::to_chars(text + len, text + sizeof text, scale);
  float magnitude = 0.0f;
  auto parsed = std::from_chars(text, end, magnitude, std::chars_format::scientific);
  if (parsed.ec == std::errc::result_out_of_range) {
    magnitude = kept + scale > 0 ? std::numeric_limits<float>::infinity() : 0.0f;
  } else if (parsed.ec != std::errc() || ec != std::errc()) {
    return NumResult::illegal;  // cannot happen: the text is well formed
  }
  value = negative ? -magnitude : magnitude;
  return NumResult::ok;
}

namespace {
bool blank(std::string_view text) {
  for (char c : text) {
    if (!is_blank(c)) return false;
  }
  return true;
}
}  // namespace

bool number_in(std::string_view text, std::int32_t& value) {
  return !blank(text) && read_integer(text, value) == NumResult::ok;
}

bool number_in(std::string_view text, int implied, float& value) {
  return !blank(text) && read_real(text, implied, value) == NumResult::ok;
}

}  // namespace sfconv
