// Fuzzes a whole run in-process, from the parameter file on: driver, file
// opening, readers, writer, the temporary file and its rename. The input is a
// parameter file, a NUL byte, the refinement file (found as run.lst, run.out,
// run.fos, run.cif and run.hkl, a name whose content chooses the reader), a NUL
// byte and the second file (run.fou), all written to a
// scratch directory the run works in. The reader's buffer is made small, so
// that records cross its boundaries.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "driver/driver.hpp"
#include "fuzz_support.hpp"

namespace {

namespace fs = std::filesystem;

void put(const char* name, std::string_view bytes) {
  if (std::FILE* f = std::fopen(name, "wb")) {
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
  }
}

// A directory of its own for the process, made once, worked in, and removed
// when the process ends.
std::string scratch;

void enter_scratch_directory() {
  if (!scratch.empty()) return;
  std::string dir = "/tmp/sfconv-run-fuzz-XXXXXX";
  if (mkdtemp(dir.data()) == nullptr || chdir(dir.c_str()) != 0) std::abort();
  scratch = dir;
  std::atexit([] {
    std::error_code ec;
    fs::remove_all(scratch, ec);
  });
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace sfconv;
  enter_scratch_directory();
  for (const auto& e : fs::directory_iterator(".")) fs::remove_all(e.path());

  auto [params_in, rest] = fuzz::split({reinterpret_cast<const char*>(data), size}, '\0');
  auto [refinement, second] = fuzz::split(rest, '\0');
  // No name may lead out of the scratch directory.
  std::string params(params_in);
  for (char& c : params) {
    if (c == '/') c = '_';
  }
  put("params.txt", params);
  for (const char* name : {"run.lst", "run.out", "run.fos", "run.cif", "run.hkl"}) {
    put(name, refinement);
  }
  put("run.fou", second);

  fuzz::new_run();
  set_text_buffer_size(16 + size % 113);
  try {
    run("params.txt");
  } catch (const RecognisedStop&) {
  } catch (const IoFailure&) {
  }
  // An ended run leaves no temporary file behind.
  for (const auto& e : fs::directory_iterator(".")) {
    if (e.path().filename().string().starts_with(".sfconv-")) std::abort();
  }
  return 0;
}
