// The correctly rounded sine and cosine against a table of over a million
// arguments with MPFR's results (tests/readers/trig/README.md), and edge values.
#include "readers/trig.hpp"

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <sstream>
#include <stdexcept>
#include <string>

#include <gtest/gtest.h>

#include "support/files.hpp"

namespace sfconv {
namespace {

// Bit for bit, except that every NaN matches every NaN.
bool same(float got, float expected) {
  return std::isnan(expected)
             ? std::isnan(got)
             : std::bit_cast<std::uint32_t>(got) == std::bit_cast<std::uint32_t>(expected);
}

TEST(Trig, EveryTableEntryBitForBit) {
  const std::string table = test::read_file(SFCONV_TRIG_TABLE);
  const std::size_t data = table.find("\ndata\n") + 6;
  ASSERT_GT(data, 6u);
  // The numbers after the name of a header line.
  auto header = [&](const std::string& name, std::ios_base& (*base)(std::ios_base&) = std::dec) {
    std::istringstream line(table.substr(table.find("\n" + name + " ") + name.size() + 2, 80));
    std::uint64_t a = 0, b = 0;
    line >> base >> a >> b;
    return std::pair{a, b};
  };
  const auto [count, stride] = header("sample");
  const std::uint64_t hard = header("hard").first, phases = header("phases").first;
  std::uint64_t fnv = 0xcbf29ce484222325u;
  for (std::size_t i = data; i < table.size(); ++i) {
    fnv = (fnv ^ static_cast<unsigned char>(table[i])) * 0x100000001b3u;
  }
  ASSERT_EQ(fnv, header("fnv1a64", std::hex).first) << "the table is damaged";
  ASSERT_GE(2 * count + hard + phases, 1000000u);

  std::size_t at = data;
  auto next = [&](int bytes) {  // little-endian
    if (at + bytes > table.size()) throw std::out_of_range("the table ends early");
    std::uint32_t v = 0;
    for (int i = 0; i < bytes; ++i)
      v |= std::uint32_t{static_cast<unsigned char>(table[at++])} << (8 * i);
    return v;
  };
  auto value = [&] { return std::bit_cast<float>(next(4)); };
  int failures = 0;
  auto check = [&](const char* what, float x, float got, float expected) {
    if (!same(got, expected) && ++failures <= 20) {
      ADD_FAILURE() << what << "(" << std::hexfloat << x << ") gave " << got << ", expected "
                    << expected;
    }
  };
  for (std::uint64_t j = 0; j < count; ++j) {
    const float x = std::bit_cast<float>(static_cast<std::uint32_t>(j * stride));
    const std::uint32_t flags = next(1);
    const float s = flags & 1 ? value() : x, c = flags & 2 ? value() : 1.0f;
    // Rounding to nearest is symmetric: sin(-x) = -sin x, cos(-x) = cos x.
    check("sin", x, sfconv::sin(x), s);
    check("sin", -x, sfconv::sin(-x), -s);
    check("cos", x, sfconv::cos(x), c);
    check("cos", -x, sfconv::cos(-x), c);
  }
  // The hard cases are those the double-double evaluation settles.
  std::uint64_t slow = 0;
  for (std::uint64_t i = 0; i < hard + phases; ++i) {
    const float x = value(), s = value(), c = value();
    check("sin", x, sfconv::sin(x), s);
    check("cos", x, sfconv::cos(x), c);
    slow += i < hard && (trig_detail::sin_path(x) == trig_detail::Path::slow ||
                         trig_detail::cos_path(x) == trig_detail::Path::slow);
  }
  EXPECT_EQ(slow, hard);
  EXPECT_EQ(at, table.size()) << "bytes after the last record";
  EXPECT_EQ(failures, 0);
}

// Arguments and their correctly rounded sine and cosine (from MPFR).
TEST(Trig, EdgeValues) {
  constexpr float kInf = std::numeric_limits<float>::infinity();
  constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
  struct Edge {
    float x, sin, cos;
  };
  const Edge edges[] = {
      {0.0f, 0.0f, 1.0f},
      {-0.0f, -0.0f, 1.0f},
      {0x1p-149f, 0x1p-149f, 1.0f},                        // smallest subnormal
      {-0x1.fffffcp-127f, -0x1.fffffcp-127f, 1.0f},        // largest subnormal
      {0x1p-126f, 0x1p-126f, 1.0f},                        // smallest normal
      {0x1p-12f, 0x1p-12f, 1.0f},                          // cos just above a midpoint
      {0x1.000002p-12f, 0x1.000002p-12f, 0x1.fffffep-1f},  // and just below it
      {0x1.921fb6p+0f, 1.0f, -0x1.777a5cp-25f},            // the float nearest pi/2
      {0x1.921fb6p+1f, -0x1.777a5cp-24f, -1.0f},           // pi
      {0x1.921fb6p+2f, 0x1.777a5cp-23f, 1.0f},             // 2 pi
      {0x1.2d97c8p+3f, -0x1.99bc5cp-26f, -1.0f},           // 3 pi
      {-0x1.2d97c8p+2f, 1.0f, 0x1.99bc5cp-27f},            // -3 pi / 2
      {0x1p+24f, -0x1.8f22f8p-1f, 0x1.40ad68p-1f},
      {0x1p+127f, 0x1.3f2c62p-1f, 0x1.90571ep-1f},
      {0x1.fffffep+127f, -0x1.0b3366p-1f, 0x1.b4bf2cp-1f},  // the largest float
      {-0x1.fffffep+127f, 0x1.0b3366p-1f, 0x1.b4bf2cp-1f},
      {kInf, kNaN, kNaN},
      {-kInf, kNaN, kNaN},
      {kNaN, kNaN, kNaN},
      {-kNaN, kNaN, kNaN},
      {std::numeric_limits<float>::signaling_NaN(), kNaN, kNaN},
  };
  for (const Edge& e : edges) {
    EXPECT_TRUE(same(sfconv::sin(e.x), e.sin)) << "sin(" << std::hexfloat << e.x << ")";
    EXPECT_TRUE(same(sfconv::cos(e.x), e.cos)) << "cos(" << std::hexfloat << e.x << ")";
  }
}

}  // namespace
}  // namespace sfconv
