// sfconv --init: the parameter file for a refinement file, from the reader
// its name chooses.
#include "driver/init.hpp"

#include "driver/driver.hpp"
#include "readers/cif/cif.hpp"
#include "readers/fullprof/fullprof.hpp"
#include "readers/gsas/gsas.hpp"
#include "readers/kolmex/kolmex.hpp"
#include "run/init_values.hpp"
#include "textio/edit.hpp"
#include "textio/failure.hpp"
#include "textio/text_input.hpp"

namespace sfconv {

namespace {

constexpr int kRefinementUnit = 1;
constexpr std::string_view kUsage = "usage: sfconv --init REFINEMENT-FILE [SECOND-FILE]";

// The input's name with its extension (from the last '.' of its own name)
// replaced by .sf.
std::string output_name(std::string_view input) {
  std::size_t slash = input.rfind('/');
  std::size_t dot = input.rfind('.');
  if (dot == std::string_view::npos || (slash != std::string_view::npos && dot < slash)) {
    return cat(input, ".sf");
  }
  return cat(input.substr(0, dot), ".sf");
}

// A name the parameter file can hold as it stands: no '#' (a comment would
// start there), no control character, no blank at either end, at most 512
// characters.
void check_name(std::string_view name) {
  const char* why = nullptr;
  if (name.find('#') != std::string_view::npos) why = "holds a '#', which starts a comment";
  for (char c : name) {
    if (static_cast<unsigned char>(c) < 0x20) why = "holds a control character";
  }
  if (name.starts_with(' ') || name.ends_with(' ')) why = "begins or ends with a blank";
  if (name.size() > 512) why = "is longer than the 512 characters of a name line";
  if (why != nullptr) {
    throw IoFailure{std::string(kUsage),
                    cat("File name not fit for a parameter file: ", quoted(name), " ", why), "OPEN",
                    kRefinementUnit};
  }
}

std::string init_for(std::string_view input, std::string_view second, const ReaderChoice& choice) {
  InitValues v;
  v.reader = choice.reader;
  if (v.reader == ' ') {
    stop(format_line("(A)"_fmt, " The extension of a standard output file should be lst or out"),
         "the file name ", quoted(input),
         " holds none of .lst (GSAS), .out (FullProf), .fos (KOLMEX), .cif and .fcf (CIF) in "
         "its last part",
         choice.content_read ? ", nor does the file begin as a CIF file (data_ or #\\#CIF_)" : "");
  }
  if (!second.empty() && v.reader != 'F') {
    throw IoFailure{std::string(kUsage),
                    cat("Argument after the refinement file: ", second,
                        " (only a FullProf output has a second file)"),
                    "OPEN", kRefinementUnit};
  }
  check_name(input);
  check_name(second);
  v.input = input;
  v.second = second;
  v.output = output_name(input);
  check_name(v.output);

  if (v.reader == 'R') {
    RecordFile fos(input, kRefinementUnit);
    init_kolmex(fos, v);
  } else if (v.reader == 'C') {
    init_cif(input, v);
  } else {
    TextInput text(input, kRefinementUnit);
    if (v.reader == 'G') {
      init_gsas(text, v);
    } else {
      init_fullprof(text, v);
    }
  }
  return parameter_file_text(v);
}

}  // namespace

std::string init_parameter_file(std::string_view input, std::string_view second) {
  const ReaderChoice choice = choose_reader(input);
  try {
    return init_for(input, second, choice);
  } catch (IoFailure& failure) {
    failure.header += reader_choice_note(input, choice);
    throw;
  } catch (RecognisedStop& stop) {
    stop.where += reader_choice_note(input, choice);
    throw;
  }
}

}  // namespace sfconv
