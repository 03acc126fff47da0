// The run driver: opens, reads and closes the files in a fixed order.
#include "driver/driver.hpp"

#include "driver/run_state.hpp"
#include "driver/writer.hpp"
#include "readers/fullprof/fullprof.hpp"
#include "readers/gsas/gsas.hpp"
#include "readers/kolmex/kolmex.hpp"
#include "textio/edit.hpp"
#include "textio/failure.hpp"
#include "textio/parameters.hpp"
#include "textio/readline.hpp"
#include "textio/text_input.hpp"
#include "textio/text_output.hpp"

namespace sfconv {

namespace {
constexpr int kRefinementUnit = 1;
constexpr int kOutputUnit = 4;
constexpr int kParameterUnit = 5;
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

  readline(parameters, CDATA.FILEIN, "input file name");
  char prog = reader_for(CDATA.FILEIN.view());
  if (prog == ' ') {
    throw RecognisedStop{
        format_line("(A)"_fmt, " The extension of a standard output file should be lst or out")};
  }
  CDATA.PROG.assign(std::string_view(&prog, 1));
  if (prog == 'R') IDATA.phase_no = 1;
  if (prog == 'F') readline(parameters, CDATA.FILEIN2, "second file name");
  readline(parameters, CDATA.FILEOUT, "output file name");

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
  TextOutput out(CDATA.FILEOUT.view(), kOutputUnit);
  write_structure_factors(out, RELVAR);
  out.commit();
}

}  // namespace sfconv
