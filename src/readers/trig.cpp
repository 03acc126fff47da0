// Correctly rounded single-precision sine and cosine in integer and double
// arithmetic only, so that every machine writes the same structure factors.
#include "readers/trig.hpp"

#include <bit>
#include <cfloat>
#include <cstdint>

// The error bounds below hold for IEEE double arithmetic with each operation
// rounded to double (fused multiply-adds only make them smaller).
#if defined(__FAST_MATH__) || FLT_EVAL_METHOD != 0
#error "trig.cpp needs IEEE double arithmetic evaluated in double"
#endif

namespace sfconv {

namespace {

__extension__ typedef unsigned __int128 u128;

// 2/pi: 320 bits after the binary point, behind one word of zeros.
constexpr std::uint64_t kTwoOverPi[6] = {
    0,
    0xa2f9836e4e441529,
    0xfc2757d1f534ddc0,
    0xdb6295993c439041,
    0xfe5163abdebbc561,
    0xb7246e3a424dd2e0,
};

// pi/2 as a double-double.
constexpr double kPio2Hi = 0x1.921fb54442d18p+0;
constexpr double kPio2Lo = 0x1.1a62633145c07p-54;

constexpr float kPio4 = 0x1.921fb4p-1f;  // the float just below pi/4

// x = (4n + quadrant +- a * 2^-126) * pi/2, a <= 2^125.
struct Reduced {
  int quadrant;
  bool negative;  // the sign of the remainder
  u128 a;         // its magnitude, in units of 2^-126 quarter turn
};

// Payne-Hanek reduction of a finite |x| >= pi/4 given by its bits: x * 2/pi
// mod 4 as a fixed-point number with 126 fraction bits, exact but for a
// truncation of less than 2^-126. With |x| = m * 2^e, the bits of 2/pi worth
// 2^-(e-2) and more give multiples of 4 and are skipped; 192 bits after them
// leave a tail below m * 2^-190, far less than 2^-126.
[[gnu::always_inline]] inline Reduced reduce(std::uint32_t bits) {
  std::uint64_t m = (bits & 0x7fffffu) | 0x800000u;
  int e = static_cast<int>(bits >> 23) - 150;  // -24 .. 104
  int skip = e - 2 + 64;                       // 38 .. 166 bits of the table
  int w = skip / 64;
  int b = skip % 64;
  auto word = [&](int k) {
    std::uint64_t hi = kTwoOverPi[w + k];
    return b == 0 ? hi : (hi << b) | (kTwoOverPi[w + k + 1] >> (64 - b));
  };
  u128 r = (static_cast<u128>(m * word(0)) << 64) + static_cast<u128>(m) * word(1) +
           ((static_cast<u128>(m) * word(2)) >> 64);
  // To the nearest quarter turn: the quadrant in the top two bits, the
  // remainder below them, less half a turn.
  constexpr u128 kHalf = static_cast<u128>(1) << 125;
  u128 t = r + kHalf;
  u128 low = t & (kHalf + (kHalf - 1));
  bool negative = low < kHalf;
  return {static_cast<int>(t >> 126), negative, negative ? kHalf - low : low - kHalf};
}

constexpr double pow2(int e) {
  return std::bit_cast<double>(static_cast<std::uint64_t>(1023 + e) << 52);
}

// a = (top * 2^64 + rest) * 2^(shift - 64) with the top bit of top set.
struct Normalized {
  std::uint64_t top, rest;
  int shift;
};

[[gnu::always_inline]] inline Normalized normalize(u128 a) {
  auto hi = static_cast<std::uint64_t>(a >> 64);
  int lz = hi != 0 ? __builtin_clzll(hi) : 64 + __builtin_clzll(static_cast<std::uint64_t>(a) | 1);
  u128 n = a << lz;
  return {static_cast<std::uint64_t>(n >> 64), static_cast<std::uint64_t>(n), 64 - lz};
}

// What to evaluate for x: sin or cos of the reduced argument |r|, and the
// sign of the result.
struct Plan {
  bool use_cos;
  bool negative;
  bool reduced;  // false: r is x itself
  Reduced red;
  double r;  // |r| in double precision
};

[[gnu::always_inline]] inline Plan plan(float x, bool cosine) {
  std::uint32_t bits = std::bit_cast<std::uint32_t>(x);
  bool x_negative = (bits >> 31) != 0;
  bits &= 0x7fffffffu;
  float ax = std::bit_cast<float>(bits);
  Plan p{};
  int k = cosine ? 1 : 0;
  bool r_negative = false;
  if (ax <= kPio4) {
    p.r = static_cast<double>(ax);
  } else {
    p.reduced = true;
    p.red = reduce(bits);
    k += p.red.quadrant;
    r_negative = p.red.negative;
    // The top 63 bits of a (rounded once) times pi/2 (rounded) and a power
    // of two, rounded once more.
    Normalized n = normalize(p.red.a);
    p.r = static_cast<double>(static_cast<std::int64_t>(n.top >> 1)) *
          (kPio2Hi * pow2(n.shift + 1 - 126));
  }
  // sin x = sin r, cos r, -sin r, -cos r in quadrants 0 to 3, and
  // cos x = sin(x + pi/2); sin is odd, cos even.
  p.use_cos = (k & 1) != 0;
  p.negative = ((k & 2) != 0) != (!p.use_cos && r_negative);
  if (!cosine && x_negative) p.negative = !p.negative;
  return p;
}

// Rounds hi + lo > 0 (|lo| at most half an ulp of hi) to float, knowing only
// that the exact value lies within err of it. Returns false, and the likeliest
// float, when a midpoint between two floats lies within err: then the rounding
// is not settled. hi must be at least 2^-149.
[[gnu::always_inline]] inline bool round_to_float(double hi, double lo, double err, float& out) {
  float f = static_cast<float>(hi);
  std::uint32_t b = std::bit_cast<std::uint32_t>(f);
  float below = std::bit_cast<float>(b - 1);
  float above = std::bit_cast<float>(b + 1);
  // Midpoints are exact in double, and so are the differences hi - mid.
  double mid_below = (static_cast<double>(f) + static_cast<double>(below)) * 0.5;
  double mid_above = (static_cast<double>(f) + static_cast<double>(above)) * 0.5;
  double over_below = (hi - mid_below) + lo;
  double over_above = (hi - mid_above) + lo;
  out = f;
  if (over_below > err && over_above < -err) return true;
  if (over_above > err) {
    out = above;
    return true;
  }
  if (over_below < -err) {
    out = below;
    return true;
  }
  return false;
}

// Taylor coefficients, highest power first: sin r = r + r z S(z) and
// cos r = 1 + z C(z) with z = r^2, |r| <= pi/4.
constexpr double kSin[] = {
    0x1.952c77030ad4ap-49, -0x1.ae7f3e733b81fp-41, 0x1.6124613a86d09p-33, -0x1.ae64567f544e4p-26,
    0x1.71de3a556c734p-19, -0x1.a01a01a01a01ap-13, 0x1.1111111111111p-7,  -0x1.5555555555555p-3,
};  // 1/17! .. -1/3!
constexpr double kCos[] = {
    0x1.ae7f3e733b81fp-45, -0x1.93974a8c07c9dp-37, 0x1.1eed8eff8d898p-29, -0x1.27e4fb7789f5cp-22,
    0x1.a01a01a01a01ap-16, -0x1.6c16c16c16c17p-10, 0x1.5555555555555p-5,  -0x1p-1,
};  // 1/16! .. -1/2!

// c[0] z^7 + ... + c[7] by Estrin's scheme, for a short chain of operations.
[[gnu::always_inline]] inline double poly8(const double* c, double z) {
  double z2 = z * z;
  double z4 = z2 * z2;
  double a = c[0] * z + c[1], b = c[2] * z + c[3];
  double d = c[4] * z + c[5], e = c[6] * z + c[7];
  return (a * z2 + b) * z4 + (d * z2 + e);
}

[[gnu::always_inline]] inline double sin_fast(double r) {
  double z = r * r;
  return r + (r * z) * poly8(kSin, z);
}

[[gnu::always_inline]] inline double cos_fast(double r) {
  double z = r * r;
  return 1.0 + z * poly8(kCos, z);
}

// Double-double arithmetic: a value hi + lo with |lo| <= ulp(hi) / 2.
struct DD {
  double hi, lo;
};

DD two_sum(double a, double b) {
  double s = a + b;
  double bb = s - a;
  return {s, (a - (s - bb)) + (b - bb)};
}

DD fast_two_sum(double a, double b) {  // |a| >= |b|
  double s = a + b;
  return {s, b - (s - a)};
}

DD two_prod(double a, double b) {         // Dekker: every product below is exact
  constexpr double kSplit = 134217729.0;  // 2^27 + 1
  double ta = kSplit * a, tb = kSplit * b;
  double ah = ta - (ta - a), bh = tb - (tb - b);
  double al = a - ah, bl = b - bh;
  double p = a * b;
  return {p, ((ah * bh - p) + ah * bl + al * bh) + al * bl};
}

DD mul(DD a, DD b) {
  DD p = two_prod(a.hi, b.hi);
  return fast_two_sum(p.hi, p.lo + (a.hi * b.lo + a.lo * b.hi));
}

DD add(DD a, DD b) {  // without cancellation, as in the series below
  DD s = two_sum(a.hi, b.hi);
  return fast_two_sum(s.hi, s.lo + (a.lo + b.lo));
}

// 1/27! .. -1/3! and 1/26! .. -1/2! as double-doubles.
constexpr DD kSinDD[] = {
    {-0x1.d1ab1c2dccea3p-94, -0x1.054d0c78aea14p-149},
    {0x1.3f3ccdd165fa9p-84, -0x1.58ddadf344487p-139},
    {-0x1.761b41316381ap-75, 0x1.3423c7d91404fp-130},
    {0x1.71b8ef6dcf572p-66, -0x1.d043ae40c4647p-120},
    {-0x1.2f49b46814157p-57, -0x1.2650f61dbdcb4p-112},
    {0x1.952c77030ad4ap-49, 0x1.ac981465ddc6cp-103},
    {-0x1.ae7f3e733b81fp-41, -0x1.1d8656b0ee8cbp-97},
    {0x1.6124613a86d09p-33, 0x1.f28e0cc748ebep-87},
    {-0x1.ae64567f544e4p-26, 0x1.c062e06d1f209p-80},
    {0x1.71de3a556c734p-19, -0x1.c154f8ddc6c00p-73},
    {-0x1.a01a01a01a01ap-13, -0x1.a01a01a01a01ap-73},
    {0x1.1111111111111p-7, 0x1.1111111111111p-63},
    {-0x1.5555555555555p-3, -0x1.5555555555555p-57},
};
constexpr DD kCosDD[] = {
    {-0x1.88e85fc6a4e5ap-89, 0x1.71c37ebd16540p-143},
    {0x1.f2cf01972f578p-80, -0x1.9ada5fcc1ab14p-135},
    {-0x1.0ce396db7f853p-70, 0x1.aebcdbd20331cp-124},
    {0x1.e542ba4020225p-62, 0x1.ea72b4afe3c2fp-120},
    {-0x1.6827863b97d97p-53, -0x1.eec01221a8b0bp-107},
    {0x1.ae7f3e733b81fp-45, 0x1.1d8656b0ee8cbp-101},
    {-0x1.93974a8c07c9dp-37, -0x1.05d6f8a2efd1fp-92},
    {0x1.1eed8eff8d898p-29, -0x1.2aec959e14c06p-83},
    {-0x1.27e4fb7789f5cp-22, -0x1.cbbc05b4fa99ap-76},
    {0x1.a01a01a01a01ap-16, 0x1.a01a01a01a01ap-76},
    {-0x1.6c16c16c16c17p-10, 0x1.f49f49f49f49fp-65},
    {0x1.5555555555555p-5, 0x1.5555555555555p-59},
    {-0x1p-1, 0.0},
};

DD horner(const DD* c, int n, DD z) {
  DD p = c[0];
  for (int i = 1; i < n; ++i) p = add(mul(p, z), c[i]);
  return p;
}

// |r| as a double-double: a in two parts, the top 53 bits exact and the
// rest rounded (together within 2^-106 of a), times pi/2 * 2^-126.
DD reduced_dd(const Plan& p) {
  if (!p.reduced) return {p.r, 0.0};
  Normalized n = normalize(p.red.a);
  double hi = static_cast<double>(static_cast<std::int64_t>(n.top >> 11));
  double lo = static_cast<double>((static_cast<u128>(n.top & 0x7ff) << 64) | n.rest);
  DD a = fast_two_sum(hi * pow2(n.shift + 11 - 126), lo * pow2(n.shift - 64 - 126));
  return mul(a, {kPio2Hi, kPio2Lo});
}

[[gnu::noinline]] bool slow(const Plan& p, float& out) {
  DD r = reduced_dd(p);
  DD z = mul(r, r);
  DD y = p.use_cos ? add({1.0, 0.0}, mul(z, horner(kCosDD, 13, z)))
                   : add(r, mul(r, mul(z, horner(kSinDD, 13, z))));
  return round_to_float(y.hi, y.lo, y.hi * 0x1p-90, out);
}

// Why this is right:
// - Reduction: |r| carries a relative error below 2^-126 / |f 2^-126|. No
//   float lies closer than 2^-29.8 quarter turns to a multiple of pi/2
//   (0x1.f37c8ap+95 does; the check tool finds it), so that is below 2^-96.
//   The double r adds a conversion, pi/2 rounded and a product: 2.4 * 2^-53.
// - Fast path: the Taylor series stop at r^17/17! and r^16/16!, whose first
//   omitted terms are below 2^-58 relative for |r| <= pi/4; the evaluation
//   adds less than 2.5 * 2^-53 (every term after the first is below 0.31 of
//   the result). The total is below 2^-50.5 of the result; 2^-50 is used.
// - The result is rounded to float only when no midpoint between two floats
//   lies within that bound of it. Otherwise (132 arguments of the 2^32) the
//   double-double path evaluates the series to r^27/27! and r^26/26! in
//   double-double, with an error below 2^-95 of the result (2^-90 is used),
//   and settles the rounding the same way.
// - sin and cos of a non-zero float are transcendental, never a midpoint,
//   so ties to even never apply. The check tool, run over all 2^32 floats
//   against MPFR, finds no argument that the double-double path leaves
//   undecided and no difference.
[[gnu::always_inline]] inline float evaluate(float x, bool cosine, trig_detail::Path* path) {
  if (path) *path = trig_detail::Path::fast;
  if (x - x != 0.0f) return x - x;  // NaN, or an infinity: NaN
  if (x == 0.0f) return cosine ? 1.0f : x;
  Plan p = plan(x, cosine);
  double y = p.use_cos ? cos_fast(p.r) : sin_fast(p.r);
  float out;
  if (!round_to_float(y, 0.0, y * 0x1p-50, out)) {
    bool settled = slow(p, out);
    if (path) *path = settled ? trig_detail::Path::slow : trig_detail::Path::undecided;
  }
  return p.negative ? -out : out;
}

}  // namespace

float sin(float x) {
  return evaluate(x, false, nullptr);
}
float cos(float x) {
  return evaluate(x, true, nullptr);
}

namespace trig_detail {

Path sin_path(float x) {
  Path path;
  evaluate(x, false, &path);
  return path;
}

Path cos_path(float x) {
  Path path;
  evaluate(x, true, &path);
  return path;
}

}  // namespace trig_detail

}  // namespace sfconv
