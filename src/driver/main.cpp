// sfconv: converts the result of a powder-diffraction refinement (a GSAS
// listing, a FullProf output, a KOLMEX reflection file) to a structure-factor file.
#include <charconv>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>

#include "driver/driver.hpp"
#include "driver/report.hpp"
#include "driver/run_state.hpp"
#include "textio/failure.hpp"
#include "textio/text_output.hpp"

namespace {

constexpr const char* kUsageLine = "usage: sfconv [-v] [--] PARAMETER-FILE";

constexpr const char* kHelp =
    "usage: sfconv [-v] [--] PARAMETER-FILE\n"
    "\n"
    "Reads a GSAS listing (.lst), a FullProf output (.out) with its second file,\n"
    "a KOLMEX reflection file (.fos) or a CIF reflection file (.cif, .fcf), as\n"
    "named in PARAMETER-FILE, and writes the file of observed structure factors\n"
    "that PARAMETER-FILE names.\n"
    "\n"
    "  -v, --verbose  after the conversion, a summary on standard error: what was\n"
    "                 read, the pattern, phase and cycle, the cell, the\n"
    "                 reflections written and dropped, the output file\n"
    "  --strict       every warning is a stop: the warnings on standard error,\n"
    "                 exit status 1, and the output file neither created nor\n"
    "                 changed (for pipelines: sfconv --strict p.txt && next)\n"
    "  --max-reflections N\n"
    "                 hold up to N reflections (1 to 10000000; 2000 unless given)\n"
    "  -h, --help     this text\n"
    "  --version      the version\n"
    "  --             ends the options (for a parameter file named -x)\n"
    "\n"
    "Warnings (\"sfconv: warning: ...\") on standard error tell of results a user\n"
    "would not want unnoticed; without --strict they do not change the output or\n"
    "the exit status.\n"
    "\n"
    "Exit status: 0 after a conversion; 1 after a bad input that sfconv recognises,\n"
    "or a warning with --strict (a message on standard output, where and why on\n"
    "standard error, no output file written); 2 after an input/output failure or\n"
    "a usage error (a report on standard error, no output file written).\n";

// The value of --max-reflections: a whole number from 1 to 10^7.
std::int32_t max_reflections(std::string_view text) {
  std::int32_t n = 0;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), n);
  if (text.empty() || error != std::errc() || end != text.data() + text.size() || n < 1 ||
      n > sfconv::kMostMaxReflections) {
    throw sfconv::IoFailure{
        kUsageLine,
        sfconv::cat("Invalid --max-reflections value: ", sfconv::quoted(text),
                    " (a whole number from 1 to ", sfconv::kMostMaxReflections, ")"),
        "OPEN", 5};
  }
  return n;
}

}  // namespace

int main(int argc, char** argv) {
  bool verbose = false;
  bool strict = false;
  const char* answer = nullptr;  // the help or the version, for standard output
  sfconv::Ending ending = sfconv::ending_of([&] {
    // Options first, then the parameter file and nothing after it.
    const char* parameter_file = nullptr;
    bool options = true;
    for (int i = 1; i < argc; ++i) {
      std::string_view arg = argv[i];
      if (options && parameter_file == nullptr && arg.starts_with('-')) {
        if (arg == "-h" || arg == "--help") {
          answer = kHelp;
          return;
        }
        if (arg == "--version") {
          answer = "sfconv " SFCONV_VERSION "\n";
          return;
        }
        if (arg == "-v" || arg == "--verbose") {
          verbose = true;
        } else if (arg == "--strict") {
          strict = true;
        } else if (arg == "--max-reflections") {
          if (++i == argc) {
            throw sfconv::IoFailure{kUsageLine, "No value after --max-reflections", "OPEN", 5};
          }
          sfconv::MAXREF = max_reflections(argv[i]);
        } else if (arg.starts_with("--max-reflections=")) {
          sfconv::MAXREF = max_reflections(arg.substr(arg.find('=') + 1));
        } else if (arg == "--") {
          options = false;
        } else {
          throw sfconv::IoFailure{kUsageLine, sfconv::cat("Unknown option: ", arg), "OPEN", 5};
        }
        continue;
      }
      if (parameter_file != nullptr) {
        throw sfconv::IoFailure{kUsageLine,
                                sfconv::cat("Argument after the parameter file: ", arg,
                                            " (sfconv reads one parameter file)"),
                                "OPEN", 5};
      }
      parameter_file = argv[i];
    }
    if (parameter_file == nullptr) {
      throw sfconv::IoFailure{kUsageLine, "No parameter file was named on the command line", "OPEN",
                              5};
    }
    if (std::strlen(parameter_file) > 512) {
      throw sfconv::IoFailure{"sfconv: cannot open the parameter file",
                              "Cannot open file: its name is longer than 512 characters", "OPEN",
                              5};
    }
    sfconv::prepare_output_signals();
    sfconv::run(parameter_file, strict);
  });

  if (answer != nullptr) {
    std::fputs(answer, stdout);
    return 0;
  }
  const std::string& out = ending.out;
  if (!out.empty() &&
      (std::fwrite(out.data(), 1, out.size(), stdout) != out.size() || std::fflush(stdout) != 0)) {
    sfconv::IoFailure failure{"sfconv: cannot write to standard output", "Cannot write the message",
                              "WRITE", 6};
    std::fputs(failure.report().c_str(), stderr);
    return 2;
  }
  std::fputs(ending.err.c_str(), stderr);
  if (ending.status != 0) return ending.status;
  std::fputs(sfconv::report_text(verbose).c_str(), stderr);
  return 0;
}
