// Fuzzes the parameter file: the head the driver reads, either parameter
// reader, then the detector-angle line, all through readline.
#include <cstdint>

#include "driver/driver.hpp"
#include "driver/read_data.hpp"
#include "run/run_state.hpp"
#include "fuzz_support.hpp"
#include "textio/det_angle.hpp"
#include "textio/failure.hpp"
#include "textio/readline.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace sfconv;
  fuzz::new_run();
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  try {
    TextInput parameters(fuzz::memory_file(bytes), "params.txt", 5);
    readline(parameters, CDATA.FILEIN, "input file name");
    char prog = reader_for(CDATA.FILEIN.view());
    if (prog == ' ') return 0;
    if (prog == 'F') readline(parameters, CDATA.FILEIN2, "second file name");
    readline(parameters, CDATA.FILEOUT, "output file name");
    if (prog == 'R') {
      read_data_kolmex(parameters);
    } else {
      read_data_gsas_fullprof(parameters);
      det_angle(parameters, IDATA.histogram, IDATA.nangles, RDATA.angles);
    }
  } catch (const RecognisedStop&) {
  } catch (const IoFailure&) {
  }
  return 0;
}
