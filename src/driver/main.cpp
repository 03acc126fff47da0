// sfconv: converts the result of a structure refinement (a GSAS listing, a
// FullProf output, a KOLMEX reflection file, a CIF or FCF reflection file) to
// a structure-factor file, or with --init writes the parameter file for one.
#include <charconv>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "driver/driver.hpp"
#include "driver/init.hpp"
#include "run/report.hpp"
#include "run/run_state.hpp"
#include "textio/failure.hpp"
#include "textio/text_output.hpp"

namespace {

// The options as the usage line and --help list them, in their order: an
// option is added here and in main's loop.
struct Option {
  const char* names;  // its names, ", " between them, and its value
  const char* text;
  bool alone = false;  // given alone (--init, --help): not with a parameter file
};
constexpr Option kOptions[] = {
    {"-v, --verbose",
     "after the conversion, a summary on standard error: what was read, the pattern, phase and "
     "cycle, the cell, the reflections written and dropped, the output file"},
    {"--strict",
     "every warning is a stop: the warnings on standard error, exit status 1, and the output "
     "file neither created nor changed (for pipelines: sfconv --strict p.txt && next)"},
    {"--max-reflections N", "hold up to N reflections (1 to 99999; 2000 unless given)"},
    {"--init REFINEMENT-FILE [SECOND-FILE]",
     "write to standard output a parameter file for REFINEMENT-FILE (and a FullProf output's "
     "SECOND-FILE): the values the file gives filled in, a ? for each one you must give; no "
     "conversion is made",
     true},
    {"-h, --help", "this text", true},
    {"--version", "the version", true},
    {"--", "ends the options (for a parameter file named -x)"},
};

// The ways sfconv is called, from the options: with a parameter file and the
// options that go with one, and each option given alone.
std::vector<std::string> usage_forms() {
  std::string with_file = "sfconv";
  std::vector<std::string> alone;
  for (const Option& option : kOptions) {
    std::string names = option.names;
    for (std::size_t comma; (comma = names.find(", ")) != std::string::npos;) {
      names.replace(comma, 2, " | ");
    }
    if (option.alone) {
      alone.push_back(sfconv::cat("sfconv ", names));
    } else {
      with_file += sfconv::cat(" [", names, "]");
    }
  }
  alone.insert(alone.begin(), with_file + " PARAMETER-FILE");
  return alone;
}

// The usage line of a usage error's report: every way on one line.
std::string usage_line() {
  const std::vector<std::string> forms = usage_forms();
  std::string line = "usage: " + forms[0];
  for (std::size_t i = 1; i < forms.size(); ++i) {
    line += " | " + forms[i].substr(std::string_view("sfconv ").size());
  }
  return line;
}

const std::string kUsageLine = usage_line();

const std::string kInitUsageLine = "usage: sfconv --init REFINEMENT-FILE [SECOND-FILE]";

constexpr const char* kHelpAbout =
    "\n"
    "Reads a GSAS listing (.lst), a FullProf output (.out) with its second file,\n"
    "a KOLMEX reflection file (.fos) or a CIF reflection file (.cif, .fcf), as\n"
    "named in PARAMETER-FILE, and writes the file of observed structure factors\n"
    "that PARAMETER-FILE names.\n"
    "\n";

constexpr const char* kHelpTail =
    "\n"
    "The parameter file: one value group a line, in this order; '#' starts a\n"
    "comment; names are taken relative to the directory sfconv runs in.\n"
    "  GSAS listing: the listing (.lst), the structure-factor file, a title, the\n"
    "    space group (lattice letter, number, after a '-' the setting: F 225,\n"
    "    P 14-2), E, NX NY NZ, IAMP (0: one total amplitude, 1: two), the total\n"
    "    amplitude (IAMP 1: b+ and b-), lambda0, the histogram, the phase; then\n"
    "    for a PXC histogram the polarization fraction and monochromator factor,\n"
    "    for PNT the 2theta of each detector bank, ending with / (90.0 145.0 /).\n"
    "  FullProf output: the output (.out), its second file (.fou, written with\n"
    "    Fou=4 in the .pcr), the structure-factor file, then the lines of a GSAS\n"
    "    listing from the title to the phase (the histogram is the pattern); for\n"
    "    time of flight the 2theta of each pattern's bank, ending with /.\n"
    "  KOLMEX reflection file: the file (.fos), the structure-factor file, E,\n"
    "    IAMP, lambda0; the rest comes from the file.\n"
    "  CIF reflection file: the file (.cif, .fcf), the structure-factor file,\n"
    "    then the lines of a GSAS listing from the title to the phase (the\n"
    "    histogram is the data set, the n-th reflection loop); for X-ray powder\n"
    "    data the polarization line, for time of flight the detector angles.\n"
    "sfconv --init writes such a file from the refinement file's own values.\n"
    "\n"
    "Warnings (\"sfconv: warning: ...\") on standard error tell of results a user\n"
    "would not want unnoticed; without --strict they do not change the output or\n"
    "the exit status.\n"
    "\n"
    "Exit status: 0 after a conversion; 1 after a bad input that sfconv recognises,\n"
    "or a warning with --strict (a message on standard output, where and why on\n"
    "standard error, no output file written); 2 after an input/output failure or\n"
    "a usage error (a report on standard error, no output file written).\n"
    "\n"
    "See man sfconv\n";

// The help: the options' texts wrapped into a column from 20 on.
std::string help() {
  using sfconv::cat;
  constexpr std::size_t kColumn = 20, kWidth = 79;
  std::string text;
  for (const std::string& form : usage_forms())
    text += cat(text.empty() ? "usage: " : "       ", form, '\n');
  text += cat(kHelpAbout, "Options:\n");
  for (const Option& option : kOptions) {
    std::string line = cat("  ", option.names);
    if (line.size() + 2 > kColumn) {
      text += line + '\n';
      line.clear();
    }
    std::string_view words = option.text;
    while (!words.empty()) {
      std::size_t blank = words.find(' ');
      std::string_view word = words.substr(0, blank);
      words.remove_prefix(blank == std::string_view::npos ? words.size() : blank + 1);
      if (line.size() > kColumn && line.size() + 1 + word.size() > kWidth) {
        text += line + '\n';
        line.clear();
      }
      if (line.size() < kColumn) {
        line.append(kColumn - line.size(), ' ');
      } else {
        line += ' ';
      }
      line += word;
    }
    text += line + '\n';
  }
  return text + kHelpTail;
}

// The value of --max-reflections: a whole number from 1 to 99,999, as many
// as the output's count field (five digits) can hold.
std::int32_t max_reflections(std::string_view text) {
  std::int32_t n = 0;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), n);
  if (text.empty() || error != std::errc() || end != text.data() + text.size() || n < 1 ||
      n > sfconv::kMostMaxReflections) {
    throw sfconv::IoFailure{
        kUsageLine,
        sfconv::cat("Invalid --max-reflections value: ", sfconv::quoted(text),
                    " (a whole number from 1 to ", sfconv::kMostMaxReflections,
                    ": the output's count of reflections, NREF1, is a field of five digits)"),
        "OPEN", 5};
  }
  return n;
}

}  // namespace

int main(int argc, char** argv) {
  bool verbose = false;
  bool strict = false;
  std::string answer;  // the help, the version or --init's file, for standard output
  sfconv::Ending ending = sfconv::ending_of([&] {
    // Options first, then the parameter file and nothing after it.
    const char* parameter_file = nullptr;
    bool options = true;
    for (int i = 1; i < argc; ++i) {
      std::string_view arg = argv[i];
      if (options && parameter_file == nullptr && arg.starts_with('-')) {
        if (arg == "-h" || arg == "--help") {
          answer = help();
          return;
        }
        if (arg == "--version") {
          answer = "sfconv " SFCONV_VERSION "\n";
          return;
        }
        if (arg == "--init") {
          // The refinement file and FullProf's second file, whatever their names.
          if (i + 1 >= argc) {
            throw sfconv::IoFailure{kInitUsageLine, "No refinement file was named after --init",
                                    "OPEN", 1};
          }
          if (i + 3 < argc) {
            throw sfconv::IoFailure{
                kInitUsageLine,
                sfconv::cat(
                    "Argument after the second file: ", argv[i + 3],
                    " (--init reads a refinement file and a FullProf output's second file)"),
                "OPEN", 1};
          }
          answer = sfconv::init_parameter_file(argv[i + 1], i + 2 < argc ? argv[i + 2] : "");
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

  // A conversion's stop message, or the answer of an option that ran through.
  const std::string& out = ending.status == 0 ? answer : ending.out;
  if (!out.empty() &&
      (std::fwrite(out.data(), 1, out.size(), stdout) != out.size() || std::fflush(stdout) != 0)) {
    sfconv::IoFailure failure{"sfconv: cannot write to standard output", "Cannot write the message",
                              "WRITE", 6};
    std::fputs(failure.report().c_str(), stderr);
    return 2;
  }
  std::fputs(ending.err.c_str(), stderr);
  if (ending.status != 0 || !answer.empty()) return ending.status;
  std::fputs(sfconv::report_text(verbose).c_str(), stderr);
  return 0;
}
