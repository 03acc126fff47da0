// The correctly rounded sine and cosine: a table of over a million arguments
// with the results MPFR gives (written by tools/trig_check), and edge values.
#include "readers/trig.hpp"

#include <gtest/gtest.h>

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <limits>
#include <string>
#include <string_view>

namespace sfconv {
namespace {

std::uint32_t bits(float x) {
  return std::bit_cast<std::uint32_t>(x);
}

// Bit for bit, except that every NaN matches every NaN.
::testing::AssertionResult same(const char* what, float x, float got, float expected) {
  if (std::isnan(expected) ? std::isnan(got) : bits(got) == bits(expected)) {
    return ::testing::AssertionSuccess();
  }
  return ::testing::AssertionFailure()
         << what << "(" << std::hexfloat << x << ") gave " << got << ", expected " << expected;
}

// The table: a text header of "name count [stride]: ..." lines, the line
// "data", then little-endian records (tests/readers/trig/README.md).
class Table {
 public:
  explicit Table(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    text_.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  // The numbers after the header line that starts with name.
  bool header(std::string_view name, std::uint64_t& a, std::uint64_t* b = nullptr,
              int base = 10) const {
    std::string key(1, '\n');
    key.append(name).push_back(' ');
    std::size_t at = text_.find(key);
    if (at == std::string::npos || at > data_start()) return false;
    const char* p = text_.data() + at + key.size();
    const char* end = text_.data() + text_.size();
    auto r = std::from_chars(p, end, a, base);
    if (r.ec != std::errc{}) return false;
    if (b) r = std::from_chars(r.ptr + 1, end, *b, base);
    return r.ec == std::errc{};
  }
  std::size_t data_start() const {
    std::size_t at = text_.find("\ndata\n");
    return at == std::string::npos ? text_.size() : at + 6;
  }
  bool u8(std::uint8_t& v) {
    if (pos_ >= text_.size()) return false;
    v = static_cast<unsigned char>(text_[pos_++]);
    return true;
  }
  bool u32(std::uint32_t& v) {
    v = 0;
    for (int i = 0; i < 4; ++i) {
      std::uint8_t byte;
      if (!u8(byte)) return false;
      v |= static_cast<std::uint32_t>(byte) << (8 * i);
    }
    return true;
  }
  bool value(float& v) {
    std::uint32_t b;
    if (!u32(b)) return false;
    v = std::bit_cast<float>(b);
    return true;
  }
  void start() { pos_ = data_start(); }
  bool at_end() const { return pos_ == text_.size(); }
  std::uint64_t fnv1a64() const {
    std::uint64_t h = 0xcbf29ce484222325u;
    for (std::size_t i = data_start(); i < text_.size(); ++i) {
      h ^= static_cast<unsigned char>(text_[i]);
      h *= 0x100000001b3u;
    }
    return h;
  }
  bool empty() const { return text_.empty(); }

 private:
  std::string text_;
  std::size_t pos_ = 0;
};

TEST(Trig, EveryTableEntryBitForBit) {
  Table t(SFCONV_TRIG_TABLE);
  ASSERT_FALSE(t.empty()) << SFCONV_TRIG_TABLE;
  std::uint64_t count = 0, stride = 0, hard = 0, phases = 0, checksum = 0;
  ASSERT_TRUE(t.header("sample", count, &stride));
  ASSERT_TRUE(t.header("hard", hard));
  ASSERT_TRUE(t.header("phases", phases));
  ASSERT_TRUE(t.header("fnv1a64", checksum, nullptr, 16));
  ASSERT_EQ(t.fnv1a64(), checksum) << "the table is damaged";
  ASSERT_GE(2 * count + hard + phases, 1000000u);

  t.start();
  int failures = 0;
  auto check = [&](const char* what, float x, float got, float expected) {
    auto result = same(what, x, got, expected);
    if (!result && ++failures <= 20) ADD_FAILURE() << result.message();
  };
  for (std::uint64_t j = 0; j < count; ++j) {
    float x = std::bit_cast<float>(static_cast<std::uint32_t>(j * stride));
    std::uint8_t flags;
    ASSERT_TRUE(t.u8(flags));
    float s = x, c = 1.0f;
    if (flags & 1) {
      ASSERT_TRUE(t.value(s));
    }
    if (flags & 2) {
      ASSERT_TRUE(t.value(c));
    }
    // Rounding to nearest is symmetric: sin(-x) = -sin x, cos(-x) = cos x.
    check("sin", x, sfconv::sin(x), s);
    check("sin", -x, sfconv::sin(-x), -s);
    check("cos", x, sfconv::cos(x), c);
    check("cos", -x, sfconv::cos(-x), c);
  }
  // The hard cases are those the double-double evaluation settles.
  std::uint64_t slow = 0;
  for (std::uint64_t i = 0; i < hard + phases; ++i) {
    float x, s, c;
    ASSERT_TRUE(t.value(x) && t.value(s) && t.value(c));
    check("sin", x, sfconv::sin(x), s);
    check("cos", x, sfconv::cos(x), c);
    if (i < hard && (trig_detail::sin_path(x) == trig_detail::Path::slow ||
                     trig_detail::cos_path(x) == trig_detail::Path::slow)) {
      ++slow;
    }
  }
  EXPECT_EQ(slow, hard);
  EXPECT_TRUE(t.at_end()) << "bytes after the last record";
  EXPECT_EQ(failures, 0);
}

constexpr float kInf = std::numeric_limits<float>::infinity();
constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();

// Arguments and their correctly rounded sine and cosine (from MPFR).
struct Edge {
  float x, sin, cos;
};

TEST(Trig, EdgeValues) {
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
    EXPECT_TRUE(same("sin", e.x, sfconv::sin(e.x), e.sin));
    EXPECT_TRUE(same("cos", e.x, sfconv::cos(e.x), e.cos));
  }
}

// The readers' own uses: phase angles and Bragg angles in degrees times
// 0.017453292, the single-precision pi/180.
TEST(Trig, DegreeExamples) {
  constexpr float kDegree = 0.017453292f;
  // Phase 180 degrees, modulus 12.5: the sine of the float nearest pi is not 0.
  EXPECT_EQ(12.5f * sfconv::sin(180.0f * kDegree), 12.5f * -0x1.777a5cp-24f);
  EXPECT_NEAR(12.5f * sfconv::sin(180.0f * kDegree), -1.09e-6f, 0.005e-6f);
  EXPECT_EQ(12.5f * sfconv::cos(180.0f * kDegree), -12.5f);
  // Phase 45 degrees, modulus 20; and 2 d sin(theta) for 2 theta = 90, d = 1 and 2.
  EXPECT_EQ(20.0f * sfconv::cos(45.0f * kDegree), 14.142136f);
  EXPECT_EQ(20.0f * sfconv::sin(45.0f * kDegree), 14.142136f);
  EXPECT_EQ((1.0f + 1.0f) * sfconv::sin((90.0f * 0.5f) * kDegree), 1.4142135f);
  EXPECT_EQ((2.0f + 2.0f) * sfconv::sin((90.0f * 0.5f) * kDegree), 2.828427f);
}

}  // namespace
}  // namespace sfconv
