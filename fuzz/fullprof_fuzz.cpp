// Fuzzes the FullProf reader: the input is the parameter lines after the file
// names, a NUL byte, the output file, a NUL byte, then the second file. The
// second file is opened by name, as a real run opens it, so it is written to
// a scratch file first.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "run/run_state.hpp"
#include "fuzz_support.hpp"
#include "readers/fullprof/fullprof.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace sfconv;
  fuzz::new_run();
  auto [params, rest] = fuzz::split({reinterpret_cast<const char*>(data), size}, '\0');
  auto [output, second] = fuzz::split(rest, '\0');
  const std::string& second_name = fuzz::scratch_file(".fou", second);
  CDATA.FILEIN2.assign(second_name);
  fuzz::text_run(params, output, fullprof);
  return 0;
}
