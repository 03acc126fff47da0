// Fuzzing support: inputs held in memory, handed to the same stream classes a
// real run reads files with.
#pragma once

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <utility>

#include "driver/read_data.hpp"
#include "run/run_state.hpp"
#include "run/writer.hpp"
#include "textio/failure.hpp"
#include "textio/text_input.hpp"
#include "textio/text_output.hpp"

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
// A file of the process's own in /tmp, for readers that open their input by
// name: `suffix` tells the reader its kind (".cif"; the first call's stays for
// the process). Each call writes `bytes` to it; it is removed when the
// process ends.
inline const std::string& scratch_file(const char* suffix, std::string_view bytes) {
  static std::string name;
  if (name.empty()) {
    name = "/tmp/sfconv-fuzz-" + std::to_string(static_cast<long>(getpid())) + suffix;
    std::atexit([] { std::remove(name.c_str()); });
  }
  if (std::FILE* f = std::fopen(name.c_str(), "wb")) {
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
  }
  return name;
}

inline void new_run() {
  reset_run_state();
}

// A GSAS or FullProf run from its parameter lines on: the parameter reader,
// then `reader` on the refinement file, then the writer, as a run does them.
// Its two early endings are expected outcomes.
template <typename Reader>
void text_run(std::string_view params, std::string_view input, Reader reader) {
  try {
    TextInput parameters(memory_file(params), "params.txt", 5);
    read_data_gsas_fullprof(parameters);
    TextInput refinement(memory_file(input), "fuzz input", 1);
    reader(refinement, parameters);
    TextOutput out(null_file(), "fuzz.sf", 4);
    write_structure_factors(out, 0.0f);
    out.commit();
  } catch (const RecognisedStop&) {
  } catch (const IoFailure&) {
  }
}

}  // namespace sfconv::fuzz
