// Fuzzing support: inputs held in memory, handed to the same stream classes a
// real run reads files with.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <utility>

#include "driver/run_state.hpp"
#include "textio/det_angle.hpp"

namespace sfconv::fuzz {

// A read-only stream over the bytes (which must outlive it).
inline std::FILE* memory_file(std::string_view bytes) {
  if (bytes.empty()) return std::fopen("/dev/null", "rb");
  return fmemopen(const_cast<char*>(bytes.data()), bytes.size(), "rb");
}

// A stream that swallows what is written.
inline std::FILE* null_file() {
  return std::fopen("/dev/null", "wb");
}

// The bytes before the first `separator`, and those after it.
inline std::pair<std::string_view, std::string_view> split(std::string_view in, char separator) {
  std::size_t at = in.find(separator);
  if (at == std::string_view::npos) return {in, {}};
  return {in.substr(0, at), in.substr(at + 1)};
}

// A run starts from the state of a new process.
inline void new_run() {
  reset_run_state();
  det_angle_reset();
}

}  // namespace sfconv::fuzz
