// The run driver: opens, reads and closes the files in a fixed order.
#include "driver/driver.hpp"

#include <sys/stat.h>

#include <string>

#include "driver/run_state.hpp"
#include "driver/writer.hpp"
#include "readers/fullprof/fullprof.hpp"
#include "readers/gsas/gsas.hpp"
#include "readers/kolmex/kolmex.hpp"
#include "textio/edit.hpp"
#include "textio/failure.hpp"
#include "textio/files.hpp"
#include "textio/parameters.hpp"
#include "textio/readline.hpp"
#include "textio/text_input.hpp"
#include "textio/text_output.hpp"

namespace sfconv {

namespace {
constexpr int kRefinementUnit = 1;
constexpr int kOutputUnit = 4;
constexpr int kParameterUnit = 5;

// A file-name line: a name longer than its field would be cut, and a cut name
// may well name another file.
void read_name(TextInput& parameters, Text<512>& field, std::string_view what) {
  std::size_t length = readline(parameters, field, what);
  if (length > field.size()) {
    throw IoFailure{"sfconv: error in " + parameters.name() + ", line " +
                        std::to_string(parameters.line()) + ": the " + std::string(what) + " is " +
                        (parameters.cut() ? "longer than the line kept"
                                          : std::to_string(length) + " characters long"),
                    "File name longer than 512 characters", "READ", std::to_string(kParameterUnit)};
  }
}

// The output must never replace one of the run's inputs: an easy slip with
// three name lines in a row.
void refuse_output_over_input(const std::string& output) {
  struct stat out {};
  if (output.find('\0') != std::string::npos) return;  // refused when opened
  if (stat(output.c_str(), &out) != 0 || !S_ISREG(out.st_mode)) return;
  struct Input {
    const char* what;
    std::string name;
  };
  Input inputs[] = {{"parameter file", file_name(CDATA.FILEPAR.view())},
                    {"refinement file", file_name(CDATA.FILEIN.view())},
                    {"second file", CDATA.PROG.c[0] == 'F' ? file_name(CDATA.FILEIN2.view()) : ""}};
  for (const Input& in : inputs) {
    struct stat st {};
    if (in.name.empty() || stat(in.name.c_str(), &st) != 0) continue;
    if (st.st_dev == out.st_dev && st.st_ino == out.st_ino) {
      throw IoFailure{
          "sfconv: the output file \"" + output + "\" is the " + in.what + " \"" + in.name + "\"",
          "Cannot create file: it would replace an input of the run", "OPEN",
          std::to_string(kOutputUnit)};
    }
  }
}

}  // namespace

char reader_for(std::string_view name) {
  if (name.find(".lst") != std::string_view::npos) return 'G';
  if (name.find(".out") != std::string_view::npos) return 'F';
  if (name.find(".fos") != std::string_view::npos) return 'R';
  return ' ';
}

void run(std::string_view parameter_file) {
  CDATA.FILEPAR.assign(parameter_file);
  TextInput parameters(CDATA.FILEPAR.view(), kParameterUnit);

  read_name(parameters, CDATA.FILEIN, "input file name");
  char prog = reader_for(CDATA.FILEIN.view());
  if (prog == ' ') {
    throw RecognisedStop{
        format_line("(A)"_fmt, " The extension of a standard output file should be lst or out")};
  }
  CDATA.PROG.assign(std::string_view(&prog, 1));
  if (prog == 'R') IDATA.phase_no = 1;
  if (prog == 'F') read_name(parameters, CDATA.FILEIN2, "second file name");
  read_name(parameters, CDATA.FILEOUT, "output file name");

  float RELVAR = 0.0f;
  if (prog == 'R') {
    read_data_kolmex(parameters);
    RecordFile refinement(CDATA.FILEIN.view(), kRefinementUnit);
    kolmex(refinement, RELVAR);
    parameters.close();
    refinement.close();
  } else {
    read_data_gsas_fullprof(parameters);
    RELVAR = 0.0f;
    TextInput refinement(CDATA.FILEIN.view(), kRefinementUnit);
    if (prog == 'G') {
      gsas(refinement, parameters);
    } else {
      fullprof(refinement, parameters);
    }
    parameters.close();
    refinement.close();
  }

  // Only now, with everything read, is the output file made.
  refuse_output_over_input(file_name(CDATA.FILEOUT.view()));
  TextOutput out(CDATA.FILEOUT.view(), kOutputUnit);
  write_structure_factors(out, RELVAR);
  out.commit();
}

}  // namespace sfconv
