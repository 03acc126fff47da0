// The parameter file's value lines.
#include "textio/parameters.hpp"

#include <string_view>

#include "driver/run_state.hpp"
#include "textio/edit.hpp"
#include "textio/failure.hpp"
#include "textio/freeform.hpp"
#include "textio/readline.hpp"

namespace sfconv {

namespace {

// Reads the next significant line into LINE; its values are then read from it.
Origin next_line(TextInput& parameters, std::string_view what) {
  readline(parameters, CDATA.LINE, what);
  return line_origin(parameters, what);
}

// "P 14-2": VOL is the first character, SPG the number from column 3, SET the
// number after the first '-' from column 4 on (1 when there is none).
void space_group_line(TextInput& parameters) {
  Origin origin = next_line(parameters, "space-group");
  std::string_view line = CDATA.LINE.view();
  read_internal(line, origin, "(A1)"_fmt, CDATA.VOL);
  std::size_t dash = line.find('-', 3);
  if (dash == std::string_view::npos) {
    read_free(line.substr(2), origin, IDATA.SPG);
    IDATA.SET = 1;
  } else {
    read_free(line.substr(2, dash - 2), origin, IDATA.SPG);
    read_free(line.substr(dash + 1), origin, IDATA.SET);
  }
}

}  // namespace

void read_data_gsas_fullprof(TextInput& parameters) {
  readline(parameters, CDATA.TITLE, "title");
  space_group_line(parameters);
  read_free(CDATA.LINE.view(), next_line(parameters, "E"), RDATA.E);
  read_free(CDATA.LINE.view(), next_line(parameters, "NX NY NZ"), IDATA.NX, IDATA.NY, IDATA.NZ);
  read_free(CDATA.LINE.view(), next_line(parameters, "IAMP"), IDATA.IAMP);
  if (IDATA.IAMP == 0) {
    read_free(CDATA.LINE.view(), next_line(parameters, "total amplitude"), RDATA.TOTAMP);
  } else if (IDATA.IAMP == 1) {
    read_free(CDATA.LINE.view(), next_line(parameters, "total amplitudes"), RDATA.TOTAMP,
              RDATA.TOTAMP2);
  } else {
    throw RecognisedStop{format_line("(A)"_fmt, " IAMP should be 0 or 1")};
  }
  read_free(CDATA.LINE.view(), next_line(parameters, "lambda0"), RDATA.lambda0);
  read_free(CDATA.LINE.view(), next_line(parameters, "histogram"), IDATA.histogram);
  if (IDATA.histogram < 0) {
    throw RecognisedStop{format_line("(A,I4)"_fmt, " Invalid histogram number:", IDATA.histogram)};
  }
  read_free(CDATA.LINE.view(), next_line(parameters, "phase"), IDATA.phase_no);
}

void read_data_kolmex(TextInput& parameters) {
  read_free(CDATA.LINE.view(), next_line(parameters, "E"), RDATA.E);
  read_free(CDATA.LINE.view(), next_line(parameters, "IAMP"), IDATA.IAMP);
  read_free(CDATA.LINE.view(), next_line(parameters, "lambda0"), RDATA.lambda0);
}

}  // namespace sfconv
