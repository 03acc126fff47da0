// Fuzzes the KOLMEX reader on arbitrary bytes, then writes what it stored.
#include <cstdint>

#include "driver/run_state.hpp"
#include "driver/writer.hpp"
#include "fuzz_support.hpp"
#include "readers/kolmex/kolmex.hpp"
#include "textio/failure.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace sfconv;
  fuzz::new_run();
  RDATA.E = 1.0f;
  IDATA.IAMP = static_cast<std::int32_t>(size % 3);
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  try {
    float relvar = 0.0f;
    {
      RecordFile fos(fuzz::memory_file(bytes), "fuzz.fos", 1);
      kolmex(fos, relvar);
    }
    TextOutput out(fuzz::null_file(), "fuzz.sf", 4);
    write_structure_factors(out, relvar);
    out.commit();
  } catch (const RecognisedStop&) {
  } catch (const IoFailure&) {
  }
  return 0;
}
