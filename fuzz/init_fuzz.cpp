// Fuzzes what sfconv --init reads of each format and the parameter file it
// writes: the first byte chooses the format (G, F or R, else by its value),
// the rest is the refinement file.
#include <cstdint>
#include <string_view>

#include "driver/init.hpp"
#include "fuzz_support.hpp"
#include "readers/fullprof/fullprof.hpp"
#include "readers/gsas/gsas.hpp"
#include "readers/kolmex/kolmex.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace sfconv;
  if (size == 0) return 0;
  const std::string_view file(reinterpret_cast<const char*>(data) + 1, size - 1);
  InitValues v;
  v.reader = "GFR"[data[0] % 3];
  if (data[0] == 'G' || data[0] == 'F' || data[0] == 'R') v.reader = static_cast<char>(data[0]);
  v.input = "fuzz input";
  v.output = "fuzz.sf";
  try {
    if (v.reader == 'R') {
      RecordFile fos(fuzz::memory_file(file), "fuzz input", 1);
      init_kolmex(fos, v);
    } else {
      TextInput in(fuzz::memory_file(file), "fuzz input", 1);
      if (v.reader == 'G') {
        init_gsas(in, v);
      } else {
        init_fullprof(in, v);
      }
    }
    parameter_file_text(v);
  } catch (const RecognisedStop&) {
  } catch (const IoFailure&) {
  }
  return 0;
}
