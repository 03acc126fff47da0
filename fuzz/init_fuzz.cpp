// Fuzzes what sfconv --init reads of each format and the parameter file it
// writes: the first byte chooses the format (G, F, R or C, else by its value),
// the rest is the refinement file. A CIF file is opened by name, as --init
// opens it, so it is written to a scratch file first.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

#include "run/init_values.hpp"
#include "fuzz_support.hpp"
#include "readers/cif/cif.hpp"
#include "readers/fullprof/fullprof.hpp"
#include "readers/gsas/gsas.hpp"
#include "readers/kolmex/kolmex.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace sfconv;
  if (size == 0) return 0;
  const std::string_view file(reinterpret_cast<const char*>(data) + 1, size - 1);
  InitValues v;
  v.reader = "GFRC"[data[0] % 4];
  if (std::string_view("GFRC").find(static_cast<char>(data[0])) != std::string_view::npos) {
    v.reader = static_cast<char>(data[0]);
  }
  v.input = "fuzz input";
  v.output = "fuzz.sf";
  try {
    if (v.reader == 'R') {
      RecordFile fos(fuzz::memory_file(file), "fuzz input", 1);
      init_kolmex(fos, v);
    } else if (v.reader == 'C') {
      init_cif(fuzz::scratch_file(".cif", file), v);
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
