// Fuzzes the CIF reader: the input is the parameter lines after the file
// names, a NUL byte, then the CIF file. The CIF file is opened by name, as a
// real run opens it, so it is written to a scratch file first. Its syntax is
// first checked against GEMMI's own document (cif_syntax_check.cpp).
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "cif_syntax_check.hpp"
#include "fuzz_support.hpp"
#include "readers/cif/cif.hpp"
#include "run/run_state.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace sfconv;
  fuzz::new_run();
  auto [params, file] = fuzz::split({reinterpret_cast<const char*>(data), size}, '\0');
  fuzz::check_cif_syntax(file);
  const std::string& name = fuzz::scratch_file(".cif", file);
  fuzz::text_run(params, {}, [&name](TextInput&, TextInput& parameters) { cif(name, parameters); });
  return 0;
}
