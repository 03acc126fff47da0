// KOLMEX reflection files built record by record, so that the binary files
// of the examples and the test cases read like what they hold.
#pragma once

#include <bit>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace sfconv::tools {

// One record's payload: values back to back, big-endian unless made
// little-endian (as a file written on such a machine).
class Payload {
 public:
  explicit Payload(bool little_endian = false) : little_(little_endian) {}
  bool little_endian() const { return little_; }
  Payload& i32(std::int32_t v) {
    put(static_cast<std::uint32_t>(v));
    return *this;
  }
  Payload& f32(float v) {
    put(std::bit_cast<std::uint32_t>(v));
    return *this;
  }
  // n characters, blank-padded.
  Payload& text(const std::string& s, std::size_t n) {
    std::string t = s.substr(0, n);
    t.resize(n, ' ');
    bytes_ += t;
    return *this;
  }
  Payload& raw(const std::string& bytes) {
    bytes_ += bytes;
    return *this;
  }
  const std::string& bytes() const { return bytes_; }

 private:
  void put(std::uint32_t v) {
    for (int i = 0; i < 4; ++i) {
      int shift = little_ ? 8 * i : 24 - 8 * i;
      bytes_.push_back(static_cast<char>(v >> shift));
    }
  }
  bool little_;
  std::string bytes_;
};

// The length, the payload, the length again (or `trailing` instead).
inline std::string framed(const std::string& payload, std::uint32_t length,
                          bool little_endian = false) {
  Payload len(little_endian);
  len.i32(static_cast<std::int32_t>(length));
  return len.bytes() + payload + len.bytes();
}
inline std::string framed(const Payload& p) {
  return framed(p.bytes(), static_cast<std::uint32_t>(p.bytes().size()), p.little_endian());
}
inline std::string framed(const Payload& p, std::uint32_t trailing) {
  Payload lead(p.little_endian()), trail(p.little_endian());
  lead.i32(static_cast<std::int32_t>(p.bytes().size()));
  trail.i32(static_cast<std::int32_t>(trailing));
  return lead.bytes() + p.bytes() + trail.bytes();
}

struct FosReflection {
  std::int32_t h, k, l;
  float fr, fi, fabs, io;
};

// The logical content of a KOLMEX reflection file.
struct FosFile {
  std::string title = "test structure";
  float cell[6] = {5.0f, 5.0f, 5.0f, 90.0f, 90.0f, 90.0f};
  std::int32_t grid[3] = {32, 32, 32};
  std::int32_t spg = 221, set = 1;
  char vol = 'P';
  float q1 = 1.0f, q2 = 0.0f;
  float totamp = 100.0f, totamp2 = 0.0f;
  std::vector<FosReflection> reflections;
  std::optional<std::int32_t> count;  // record 7, when not the number of reflections
  std::string extra;                  // bytes appended to every payload
  bool little_endian = false;         // written on a little-endian machine

  // The payloads, one per record, in file order.
  std::vector<Payload> payloads() const {
    std::vector<Payload> r(7, Payload(little_endian));
    r[0].text(title, 70);
    for (float c : cell) r[1].f32(c);
    for (std::int32_t g : grid) r[2].i32(g);
    r[3].i32(spg).i32(set).raw(std::string(1, vol));
    r[4].f32(q1).f32(q2);
    r[5].f32(totamp).f32(totamp2);
    r[6].i32(count.value_or(static_cast<std::int32_t>(reflections.size())));
    for (const FosReflection& x : reflections) {
      r.emplace_back(little_endian)
          .i32(x.h)
          .i32(x.k)
          .i32(x.l)
          .f32(x.fr)
          .f32(x.fi)
          .f32(x.fabs)
          .f32(x.io);
    }
    for (Payload& p : r) p.raw(extra);
    return r;
  }

  std::string bytes() const {
    std::string out;
    for (const Payload& p : payloads()) out += framed(p);
    return out;
  }
};

}  // namespace sfconv::tools
