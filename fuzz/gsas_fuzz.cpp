// Fuzzes the GSAS reader: the input is the parameter lines after the file
// names, a NUL byte, then the listing. The run goes through the parameter
// reader, the listing reader and the writer, as a real run does.
#include <cstdint>

#include "run/run_state.hpp"
#include "fuzz_support.hpp"
#include "readers/gsas/gsas.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace sfconv;
  fuzz::new_run();
  auto [params, listing] = fuzz::split({reinterpret_cast<const char*>(data), size}, '\0');
  fuzz::text_run(params, listing, gsas);
  return 0;
}
