// Fuzzes the GSAS reader: the input is the parameter lines after the file
// names, a NUL byte, then the listing. The run goes through the parameter
// reader, the listing reader and the writer, as a real run does.
#include <cstdint>

#include "driver/run_state.hpp"
#include "driver/writer.hpp"
#include "fuzz_support.hpp"
#include "readers/gsas/gsas.hpp"
#include "textio/failure.hpp"
#include "textio/parameters.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace sfconv;
  fuzz::new_run();
  auto [params, listing] = fuzz::split({reinterpret_cast<const char*>(data), size}, '\0');
  try {
    TextInput parameters(fuzz::memory_file(params), "params.txt", 5);
    read_data_gsas_fullprof(parameters);
    TextInput lst(fuzz::memory_file(listing), "fuzz.lst", 1);
    gsas(lst, parameters);
    TextOutput out(fuzz::null_file(), "fuzz.sf", 4);
    write_structure_factors(out, 0.0f);
    out.commit();
  } catch (const RecognisedStop&) {
  } catch (const IoFailure&) {
  }
  return 0;
}
