// Fixed-length text fields: a run of bytes with no terminator, blank-padded on
// assignment and cut when the value is longer, as the run state holds them.
#pragma once

#include <array>
#include <cstddef>
#include <string_view>

#include "textio/chars.hpp"

namespace sfconv {

template <std::size_t N>
struct Text {
  static_assert(N > 0);
  // Zero bytes until first assigned: a field the run never sets stays zero.
  std::array<char, N> c{};

  static constexpr std::size_t size() { return N; }
  char* data() { return c.data(); }
  const char* data() const { return c.data(); }
  std::string_view view() const { return {c.data(), N}; }

  // Assigns with blank padding; the part of a longer value beyond N is dropped.
  void assign(std::string_view s) {
    std::size_t n = s.size() < N ? s.size() : N;
    for (std::size_t i = 0; i < n; ++i) c[i] = s[i];
    for (std::size_t i = n; i < N; ++i) c[i] = ' ';
  }
  void blank() { c.fill(' '); }

  // The field without its trailing blanks.
  std::string_view trimmed() const { return trim_end(view()); }
  bool is_blank() const { return trimmed().empty(); }

  // Columns first..last, counted from 1 (both inside the field).
  std::string_view cols(std::size_t first, std::size_t last) const {
    return view().substr(first - 1, last - first + 1);
  }
  bool starts_with(std::string_view s) const { return view().starts_with(s); }
};

}  // namespace sfconv
