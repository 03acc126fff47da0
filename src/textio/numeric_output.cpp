// Output editors for integer and real fields.
#include "textio/numeric_output.hpp"

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>

namespace sfconv {

namespace {

// |value| = 0.d1 d2 ... d8 x 10^exp, the 8 digits correctly rounded.
struct Digits {
  char d[8];
  int exp;
};

// The 8 digits by double arithmetic, where that is exact enough: |value| is
// exact as a double and so is 10^k for |k| <= 22, so the product scaled into
// [1e7, 1e8) is off the exact one by half a unit in its last place (below
// 1e-8), and rounds to the same integer unless its fraction lies within that
// of one half. Within 1e-6 of a half, and outside those powers, false: the
// library's exact conversion decides. (Checked against it for every float.)
bool fast_digits(float value, Digits& r) {
  static constexpr double kPow10[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                      1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                      1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
  const double x = std::fabs(static_cast<double>(value));
  if (!(x >= 1e-15 && x < 1e29)) return false;
  // The decimal exponent from the binary one, x in [2^b, 2^(b+1)): e or e+1.
  const int b = static_cast<int>(std::bit_cast<std::uint32_t>(value) >> 23 & 0xFF) - 127;
  int e = b * 78913 >> 18;  // floor(b log10 2) for |b| < 128
  if (e + 1 <= 22 && e + 1 >= 0 && x >= kPow10[e + 1]) ++e;
  for (int attempt = 0; attempt < 2; ++attempt) {
    const int k = 7 - e;
    if (k > 22 || k < -22) return false;
    const double scaled = k >= 0 ? x * kPow10[k] : x / kPow10[-k];
    if (scaled < 1e7 || scaled >= 1e8) {
      e += scaled < 1e7 ? -1 : 1;
      continue;
    }
    auto digits = static_cast<std::uint32_t>(scaled);
    const double fraction = scaled - digits;
    if (std::fabs(fraction - 0.5) < 1e-6) return false;
    digits += fraction > 0.5 ? 1u : 0u;
    if (digits == 100000000u) {  // 99999999.7 rounds to 1.0000000 x 10^(e+1)
      digits = 10000000u;
      ++e;
    }
    for (int i = 7; i >= 0; --i, digits /= 10) r.d[i] = static_cast<char>('0' + digits % 10);
    r.exp = e + 1;
    return true;
  }
  return false;
}

Digits digits_of(float value) {
  Digits r{};
  if (fast_digits(value, r)) return r;
  char buf[32];
  auto res =
      std::to_chars(buf, buf + sizeof buf, std::fabs(value), std::chars_format::scientific, 7);
  // "d.ddddddde+XX"
  r.d[0] = buf[0];
  for (int i = 0; i < 7; ++i) r.d[i + 1] = buf[2 + i];
  int e = 0;
  std::from_chars(buf[10] == '+' ? buf + 11 : buf + 10, res.ptr, e);
  r.exp = e + 1;
  return r;
}

// The decimal digits of round(0.d1d2... x 10^keep), ties away from zero, into
// `out` without leading zeros; returns their count (0 for zero). `out` needs
// keep + 1 places.
int rounded(const Digits& v, int keep, char* out) {
  if (keep < 0) return 0;
  int n = 0;
  for (int i = 0; i < keep; ++i) out[n++] = i < 8 ? v.d[i] : '0';
  if (keep < 8 && v.d[keep] >= '5') {
    int i = n - 1;
    while (i >= 0 && out[i] == '9') out[i--] = '0';
    if (i >= 0) {
      ++out[i];
    } else {
      for (int j = n; j > 0; --j) out[j] = out[j - 1];
      out[0] = '1';
      ++n;
    }
  }
  int lead = 0;
  while (lead < n && out[lead] == '0') ++lead;
  if (lead == n) return 0;
  if (lead > 0) {
    for (int j = lead; j < n; ++j) out[j - lead] = out[j];
    n -= lead;
  }
  return n;
}

void stars(std::string& out, int w) {
  out.append(static_cast<std::size_t>(w), '*');
}

void right(std::string& out, int w, const char* text, int len) {
  out.append(static_cast<std::size_t>(w - len), ' ');
  out.append(text, static_cast<std::size_t>(len));
}

// Infinities and NaN; false for a finite value.
bool put_special(std::string& out, int w, float value) {
  if (std::isfinite(value)) return false;
  const char* text = nullptr;
  if (std::isnan(value)) {
    text = w >= 3 ? "NaN" : nullptr;
  } else if (value > 0) {
    text = w >= 8 ? "Infinity" : w >= 3 ? "Inf" : nullptr;
  } else {
    text = w >= 9 ? "-Infinity" : w >= 4 ? "-Inf" : nullptr;
  }
  if (text == nullptr) {
    stars(out, w);
  } else {
    right(out, w, text, static_cast<int>(std::char_traits<char>::length(text)));
  }
  return true;
}

constexpr int kMaxField = 1024;

}  // namespace

void put_integer(std::string& out, int w, std::int32_t value) {
  char buf[16];
  auto res = std::to_chars(buf, buf + sizeof buf, value);
  int len = static_cast<int>(res.ptr - buf);
  if (len > w) {
    stars(out, w);
  } else {
    right(out, w, buf, len);
  }
}

void put_fixed(std::string& out, int w, int d, float value) {
  if (put_special(out, w, value)) return;
  if (w > kMaxField || d >= w) {
    stars(out, w);
    return;
  }
  char n[kMaxField + 64];
  int len = 0;
  if (value != 0.0f) {
    Digits v = digits_of(value);
    int keep = v.exp + d;
    if (keep > kMaxField) {
      stars(out, w);
      return;
    }
    len = rounded(v, keep, n);
  }
  bool negative = std::signbit(value) && len > 0;
  int int_len = len > d ? len - d : 0;
  int width = (negative ? 1 : 0) + int_len + 1 + d;
  bool zero_before_point = int_len == 0 && w - d - 1 - (negative ? 1 : 0) >= 1;
  if (zero_before_point) ++width;
  if (width > w) {
    stars(out, w);
    return;
  }
  out.append(static_cast<std::size_t>(w - width), ' ');
  if (negative) out.push_back('-');
  if (zero_before_point) out.push_back('0');
  out.append(n, static_cast<std::size_t>(int_len));
  out.push_back('.');
  // the fraction: the last d digits, zeros in front when there are fewer
  for (int i = 0; i < d - len; ++i) out.push_back('0');
  int from = len > d ? len - d : 0;
  out.append(n + from, static_cast<std::size_t>(len - from));
}

void put_exponent(std::string& out, int w, int d, int k, float value) {
  if (put_special(out, w, value)) return;
  // k > 0: k digits before the point, d - k + 1 after; k <= 0: "0.", -k zeros,
  // then d + k digits.
  if (w > kMaxField || d > kMaxField || k <= -d || k >= d + 2) {
    stars(out, w);
    return;
  }
  int sig = k > 0 ? d + 1 : d + k;
  char n[kMaxField + 8];
  int exponent = 0;
  if (value == 0.0f) {
    for (int i = 0; i < sig; ++i) n[i] = '0';
  } else {
    Digits v = digits_of(value);
    int len = rounded(v, sig, n);
    exponent = v.exp - k;
    if (len > sig) ++exponent;  // rounding carried into a new digit: 10.00 -> 1.000
  }
  char e[8];
  int elen = 0;
  int mag = std::abs(exponent);
  if (mag > 999) {
    stars(out, w);
    return;
  }
  if (mag <= 99) e[elen++] = 'E';
  e[elen++] = exponent < 0 ? '-' : '+';
  if (mag > 99) e[elen++] = static_cast<char>('0' + mag / 100);
  e[elen++] = static_cast<char>('0' + mag / 10 % 10);
  e[elen++] = static_cast<char>('0' + mag % 10);

  bool negative = std::signbit(value) && value != 0.0f;
  int mantissa = k > 0 ? sig + 1 : 2 + -k + sig;  // digits and point ("0." included)
  int width = (negative ? 1 : 0) + mantissa + elen;
  bool leading_zero = k <= 0;
  if (width > w && leading_zero) {
    leading_zero = false;
    --width;
  }
  if (width > w) {
    stars(out, w);
    return;
  }
  out.append(static_cast<std::size_t>(w - width), ' ');
  if (negative) out.push_back('-');
  if (k > 0) {
    out.append(n, static_cast<std::size_t>(k));
    out.push_back('.');
    out.append(n + k, static_cast<std::size_t>(sig - k));
  } else {
    if (leading_zero) out.push_back('0');
    out.push_back('.');
    out.append(static_cast<std::size_t>(-k), '0');
    out.append(n, static_cast<std::size_t>(sig));
  }
  out.append(e, static_cast<std::size_t>(elen));
}

void put_general(std::string& out, int w, int d, int k, float value) {
  if (put_special(out, w, value)) return;
  if (w > kMaxField || d > kMaxField || w < 5) {
    put_exponent(out, w, d, k, value);
    return;
  }
  // e: the digits before the point of the value rounded to d + k places after
  // it; 0 from 0.1 up to 1 and for zero, negative below 0.1.
  int e = 0;
  Digits v{};
  char n[2 * kMaxField + 64];
  if (value != 0.0f) {
    v = digits_of(value);
    int places = d + k;
    int keep = v.exp + places;
    if (keep > kMaxField) {
      put_exponent(out, w, d, k, value);
      return;
    }
    int len = rounded(v, keep, n);
    e = len == 0 ? -1 : len - places;
  }
  if (e < 0 || e > d) {
    put_exponent(out, w, d, k, value);
    return;
  }
  // e': the digits before the point after rounding to d - e places.
  int e2 = e;
  if (value != 0.0f) {
    int len = rounded(v, v.exp + d - e, n);
    e2 = len > d - e ? len - (d - e) : 0;
  }
  if (d - e2 < 0) {  // 9999.96 in G12.4: rounds across 10^d
    put_exponent(out, w, d, k, value);
    return;
  }
  put_fixed(out, w - 4, d - e2, value);
  out.append(4, ' ');
}

}  // namespace sfconv
