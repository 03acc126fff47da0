// Checks sfconv::sin and sfconv::cos against MPFR over all 2^32 float bit
// patterns, and writes the table of expected results that the tests check.
//
//   trig_check [--table FILE] [--first HEX] [--last HEX]
//
// Two threads compare both functions with MPFR's correctly rounded sine and
// cosine at 24 bits (float's exponent range, subnormals included) over the
// bit patterns first..last (default: all of them), and print the number of
// differences of each function with the first few, the arguments that the
// double-precision evaluation could not settle alone (the hard cases), how
// often this machine's sinf and cosf differ from the correct result, and the
// closest approach of a float to a multiple of pi/2. With --table it then
// writes the test table (format in its header; tests/readers/trig/README.md).
#include <mpfr.h>

#include <algorithm>
#include <atomic>
#include <bit>
#include <chrono>
#include <cinttypes>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "readers/trig.hpp"

namespace {

constexpr std::uint32_t kStride = 4241;                            // sample: every 4241st pattern
constexpr std::uint32_t kSampleCount = 0x80000000u / kStride + 1;  // of the non-negative ones
constexpr float kDegree = 0.017453292f;                            // the readers' degree to radian

bool same(float a, float b) {
  if (std::isnan(a) || std::isnan(b)) return std::isnan(a) && std::isnan(b);
  return std::bit_cast<std::uint32_t>(a) == std::bit_cast<std::uint32_t>(b);
}

// MPFR at float's precision and exponent range: the correctly rounded result.
class Reference {
 public:
  Reference() {
    mpfr_set_emin(-148);  // 2^-149 = 0.5 * 2^-148
    mpfr_set_emax(128);
    mpfr_init2(in_, 24);
    mpfr_init2(out_, 24);
    mpfr_init2(two_over_pi_, 320);
    mpfr_init2(t_, 320);
    mpfr_init2(u_, 320);
    mpfr_init2(min_, 320);
    mpfr_const_pi(t_, MPFR_RNDN);
    mpfr_ui_div(two_over_pi_, 2, t_, MPFR_RNDN);
    mpfr_set_ui(min_, 1, MPFR_RNDN);
  }
  ~Reference() {
    mpfr_clears(in_, out_, two_over_pi_, t_, u_, min_, static_cast<mpfr_ptr>(nullptr));
    mpfr_free_cache();
  }
  float sin(float x) { return eval(x, mpfr_sin); }
  float cos(float x) { return eval(x, mpfr_cos); }

  // Keeps the smallest distance of x * 2/pi to an integer (x > 0 finite).
  void track_reduction(float x) {
    mpfr_set_flt(in_, x, MPFR_RNDN);
    mpfr_mul(t_, in_, two_over_pi_, MPFR_RNDN);
    mpfr_rint(u_, t_, MPFR_RNDN);
    mpfr_sub(t_, t_, u_, MPFR_RNDN);
    mpfr_abs(t_, t_, MPFR_RNDN);
    if (mpfr_cmp(t_, min_) < 0) {
      mpfr_set(min_, t_, MPFR_RNDN);
      min_arg_ = x;
    }
  }
  double min_distance() const { return mpfr_get_d(min_, MPFR_RNDN); }
  float min_arg() const { return min_arg_; }

 private:
  float eval(float x, int (*fn)(mpfr_ptr, mpfr_srcptr, mpfr_rnd_t)) {
    mpfr_set_flt(in_, x, MPFR_RNDN);
    int inex = fn(out_, in_, MPFR_RNDN);
    inex = mpfr_subnormalize(out_, inex, MPFR_RNDN);
    return mpfr_get_flt(out_, MPFR_RNDN);
  }
  mpfr_t in_, out_, two_over_pi_, t_, u_, min_;
  float min_arg_ = 0.0f;
};

struct Totals {
  std::uint64_t differences[2] = {0, 0};  // sin, cos
  std::vector<std::uint32_t> first[2];    // the first few differing patterns
  std::uint64_t glibc[2] = {0, 0};
  std::uint64_t undecided[2] = {0, 0};
  std::vector<std::uint32_t> hard;  // patterns that either function settled slowly
  double min_distance = 1.0;
  float min_arg = 0.0f;
};

void scan(std::uint64_t first, std::uint64_t last, Totals& totals) {
  constexpr std::uint64_t kBlock = 1u << 16;
  std::atomic<std::uint64_t> next{first};
  std::mutex lock;
  auto work = [&] {
    Reference ref;
    Totals mine;
    for (;;) {
      std::uint64_t begin = next.fetch_add(kBlock);
      if (begin > last) break;
      std::uint64_t end = std::min(begin + kBlock - 1, last);
      for (std::uint64_t b = begin; b <= end; ++b) {
        float x = std::bit_cast<float>(static_cast<std::uint32_t>(b));
        float expected[2] = {ref.sin(x), ref.cos(x)};
        float got[2] = {sfconv::sin(x), sfconv::cos(x)};
        float libc[2] = {sinf(x), cosf(x)};
        sfconv::trig_detail::Path path[2] = {sfconv::trig_detail::sin_path(x),
                                             sfconv::trig_detail::cos_path(x)};
        bool hard = false;
        for (int f = 0; f < 2; ++f) {
          if (!same(got[f], expected[f])) {
            ++mine.differences[f];
            if (mine.first[f].size() < 10) mine.first[f].push_back(static_cast<std::uint32_t>(b));
          }
          if (!same(libc[f], expected[f])) ++mine.glibc[f];
          if (path[f] == sfconv::trig_detail::Path::undecided) ++mine.undecided[f];
          if (path[f] != sfconv::trig_detail::Path::fast) hard = true;
        }
        if (hard) mine.hard.push_back(static_cast<std::uint32_t>(b));
        if (std::isfinite(x) && x > 0.78539816f) ref.track_reduction(x);
      }
    }
    std::lock_guard<std::mutex> guard(lock);
    for (int f = 0; f < 2; ++f) {
      totals.differences[f] += mine.differences[f];
      totals.glibc[f] += mine.glibc[f];
      totals.undecided[f] += mine.undecided[f];
      totals.first[f].insert(totals.first[f].end(), mine.first[f].begin(), mine.first[f].end());
    }
    totals.hard.insert(totals.hard.end(), mine.hard.begin(), mine.hard.end());
    if (ref.min_distance() < totals.min_distance) {
      totals.min_distance = ref.min_distance();
      totals.min_arg = ref.min_arg();
    }
  };
  std::thread other(work);
  work();
  other.join();
  std::sort(totals.hard.begin(), totals.hard.end());
  for (auto& v : totals.first) std::sort(v.begin(), v.end());
}

// The table file: a text header, then little-endian binary records.
class Table {
 public:
  void u8(std::uint8_t v) { data_.push_back(static_cast<char>(v)); }
  void u32(std::uint32_t v) {
    for (int i = 0; i < 4; ++i) u8(static_cast<std::uint8_t>(v >> (8 * i)));
  }
  void value(float v) { u32(std::isnan(v) ? 0x7fc00000u : std::bit_cast<std::uint32_t>(v)); }
  std::uint64_t fnv1a64() const {
    std::uint64_t h = 0xcbf29ce484222325u;
    for (char c : data_) {
      h ^= static_cast<unsigned char>(c);
      h *= 0x100000001b3u;
    }
    return h;
  }
  const std::string& data() const { return data_; }

 private:
  std::string data_;
};

// The two-decimal phase angles -360.00 .. 360.00 in radians, as the readers form them.
std::vector<float> phase_arguments() {
  std::vector<float> v;
  for (int k = -36000; k <= 36000; ++k) {
    char text[32];
    std::snprintf(text, sizeof text, "%s%d.%02d", k < 0 ? "-" : "", std::abs(k) / 100,
                  std::abs(k) % 100);
    v.push_back(std::strtof(text, nullptr) * kDegree);
  }
  return v;
}

bool write_table(const char* path, const std::vector<std::uint32_t>& hard) {
  Reference ref;
  Table t;
  for (std::uint32_t j = 0; j < kSampleCount; ++j) {
    float x = std::bit_cast<float>(j * kStride);
    float s = ref.sin(x), c = ref.cos(x);
    bool store_sin = !same(s, x), store_cos = !same(c, 1.0f);
    t.u8(static_cast<std::uint8_t>((store_sin ? 1 : 0) | (store_cos ? 2 : 0)));
    if (store_sin) t.value(s);
    if (store_cos) t.value(c);
  }
  for (std::uint32_t b : hard) {
    float x = std::bit_cast<float>(b);
    t.u32(b);
    t.value(ref.sin(x));
    t.value(ref.cos(x));
  }
  std::vector<float> phases;
  for (float x : phase_arguments()) {
    if (!same(sinf(x), ref.sin(x)) || !same(cosf(x), ref.cos(x))) phases.push_back(x);
  }
  for (float x : phases) {
    t.u32(std::bit_cast<std::uint32_t>(x));
    t.value(ref.sin(x));
    t.value(ref.cos(x));
  }
  std::FILE* out = std::fopen(path, "wb");
  if (!out) return false;
  std::fprintf(out,
               "sfconv sine and cosine table, format 1\n"
               "Correctly rounded float results (MPFR, 24 bits, to nearest), written by "
               "tools/trig_check.\n"
               "After the line \"data\": little-endian binary; a value is the float's 32 bits, "
               "a NaN as 7fc00000.\n"
               "sample %" PRIu32 " %" PRIu32
               ": for j = 0 .. count-1 the argument with bit pattern j * stride and its "
               "negative;\n"
               "  one flag byte (1: sine stored, 2: cosine stored), then the stored values; "
               "a sine not stored is x, a cosine 1.\n"
               "hard %zu: arguments that the double-precision evaluation could not settle "
               "alone; argument, sine, cosine.\n"
               "phases %zu: two-decimal phase angles -360.00..360.00 times 0.017453292 where "
               "glibc's sinf or cosf\n"
               "  is not correctly rounded; argument, sine, cosine.\n"
               "fnv1a64 %016" PRIx64
               ": of the bytes after the \"data\" line\n"
               "data\n",
               kSampleCount, kStride, hard.size(), phases.size(), t.fnv1a64());
  std::fwrite(t.data().data(), 1, t.data().size(), out);
  bool ok = std::fclose(out) == 0;
  std::printf("table %s: %" PRIu32
              " sampled arguments (and their negatives), %zu hard cases, "
              "%zu phase angles, %zu bytes of data\n",
              path, kSampleCount, hard.size(), phases.size(), t.data().size());
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  const char* table = nullptr;
  std::uint64_t first = 0, last = 0xffffffffu;
  for (int i = 1; i < argc; ++i) {
    if (!std::strcmp(argv[i], "--table") && i + 1 < argc) {
      table = argv[++i];
    } else if (!std::strcmp(argv[i], "--first") && i + 1 < argc) {
      first = std::strtoull(argv[++i], nullptr, 16);
    } else if (!std::strcmp(argv[i], "--last") && i + 1 < argc) {
      last = std::strtoull(argv[++i], nullptr, 16);
    } else {
      std::fprintf(stderr, "usage: trig_check [--table FILE] [--first HEX] [--last HEX]\n");
      return 2;
    }
  }
  auto start = std::chrono::steady_clock::now();
  Totals totals;
  scan(first, last, totals);
  double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

  std::printf("bit patterns %08" PRIx64 "..%08" PRIx64 " (%" PRIu64 "), 2 threads, %.0f s\n", first,
              last, last - first + 1, seconds);
  const char* name[2] = {"sin", "cos"};
  for (int f = 0; f < 2; ++f) {
    std::printf("%s: %" PRIu64 " differences from MPFR", name[f], totals.differences[f]);
    for (std::uint32_t b : totals.first[f]) {
      float x = std::bit_cast<float>(b);
      Reference ref;
      std::printf("\n  %08" PRIx32 " (%a): got %a, expected %a", b, x,
                  f ? sfconv::cos(x) : sfconv::sin(x), f ? ref.cos(x) : ref.sin(x));
    }
    std::printf("\n%s: %" PRIu64 " left undecided by the double-double path\n", name[f],
                totals.undecided[f]);
    std::printf("%s: this machine's %sf differs from MPFR for %" PRIu64 " patterns\n", name[f],
                name[f], totals.glibc[f]);
  }
  std::printf("hard cases (double precision alone not enough): %zu\n", totals.hard.size());
  for (std::uint32_t b : totals.hard) {
    float x = std::bit_cast<float>(b);
    std::printf("  %08" PRIx32 " %a%s%s\n", b, x,
                sfconv::trig_detail::sin_path(x) != sfconv::trig_detail::Path::fast ? " sin" : "",
                sfconv::trig_detail::cos_path(x) != sfconv::trig_detail::Path::fast ? " cos" : "");
  }
  if (totals.min_distance < 1.0) {
    std::printf("closest to a multiple of pi/2: %a, %.3g quarter turns away (2^%.2f)\n",
                totals.min_arg, totals.min_distance, std::log2(totals.min_distance));
  }
  if (table && !write_table(table, totals.hard)) {
    std::fprintf(stderr, "trig_check: cannot write %s\n", table);
    return 1;
  }
  return totals.differences[0] + totals.differences[1] == 0 ? 0 : 1;
}
