// sfconv: converts the result of a powder-diffraction refinement (a GSAS
// listing, a FullProf output, a KOLMEX reflection file) to a structure-factor file.
#include <cstdio>
#include <cstring>
#include <string>

#include "driver/driver.hpp"
#include "textio/failure.hpp"
#include "textio/text_output.hpp"

namespace {

constexpr const char* kUsage =
    "usage: sfconv PARAMETER-FILE\n"
    "\n"
    "Reads a GSAS listing (.lst), a FullProf output (.out) with its second file,\n"
    "or a KOLMEX reflection file (.fos), as named in PARAMETER-FILE, and writes\n"
    "the file of observed structure factors that PARAMETER-FILE names.\n"
    "\n"
    "Exit status: 0 after a conversion; 1 after a bad input that sfconv recognises\n"
    "(its message on standard output, no output file written); 2 after an\n"
    "input/output failure (a report on standard error, no output file written).\n";

int report(const sfconv::IoFailure& failure) {
  std::fputs(failure.report().c_str(), stderr);
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 2 && (std::strcmp(argv[1], "-h") == 0 || std::strcmp(argv[1], "--help") == 0)) {
    std::fputs(kUsage, stdout);
    return 0;
  }
  if (argc >= 2 && std::strcmp(argv[1], "--version") == 0) {
    std::fputs("sfconv " SFCONV_VERSION "\n", stdout);
    return 0;
  }
  try {
    if (argc < 2) {
      throw sfconv::IoFailure{"usage: sfconv PARAMETER-FILE",
                              "No parameter file was named on the command line", "OPEN", "5"};
    }
    if (std::strlen(argv[1]) > 512) {
      throw sfconv::IoFailure{"sfconv: cannot open the parameter file",
                              "Cannot open file: its name is longer than 512 characters", "OPEN",
                              "5"};
    }
    sfconv::prepare_output_signals();
    sfconv::run(argv[1]);
  } catch (const sfconv::RecognisedStop& stop) {
    std::string line = stop.line + '\n';
    if (std::fwrite(line.data(), 1, line.size(), stdout) != line.size() ||
        std::fflush(stdout) != 0) {
      return report(
          {"sfconv: cannot write to standard output", "Cannot write the message", "WRITE", "6"});
    }
    return 1;
  } catch (const sfconv::IoFailure& failure) {
    return report(failure);
  }
  return 0;
}
