// The parameter file's values, into the run state.
#include "driver/read_data.hpp"

#include "driver/run_state.hpp"
#include "textio/edit.hpp"
#include "textio/failure.hpp"
#include "textio/parameters.hpp"
#include "textio/readline.hpp"

namespace sfconv {

void read_data_gsas_fullprof(TextInput& parameters) {
  readline(parameters, CDATA.TITLE, "title");
  const SpaceGroupLine group = space_group_line(parameters, CDATA.LINE);
  CDATA.VOL = group.VOL;
  IDATA.SPG = group.SPG;
  IDATA.SET = group.SET;
  value_line(parameters, CDATA.LINE, "E", RDATA.E);
  value_line(parameters, CDATA.LINE, "NX NY NZ", IDATA.NX, IDATA.NY, IDATA.NZ);
  value_line(parameters, CDATA.LINE, "IAMP", IDATA.IAMP);
  if (IDATA.IAMP == 0) {
    value_line(parameters, CDATA.LINE, "total amplitude", RDATA.TOTAMP);
  } else if (IDATA.IAMP == 1) {
    value_line(parameters, CDATA.LINE, "total amplitudes", RDATA.TOTAMP, RDATA.TOTAMP2);
  } else {
    stop_at(format_line("(A)"_fmt, " IAMP should be 0 or 1"), parameters.name(), parameters.line(),
            "IAMP is ", IDATA.IAMP,
            "; it must be 0 (one total amplitude) or 1 (two totals, b+ and b-)");
  }
  value_line(parameters, CDATA.LINE, "lambda0", RDATA.lambda0);
  PARLINES.lambda0 = parameters.line();
  value_line(parameters, CDATA.LINE, "histogram", IDATA.histogram);
  PARLINES.histogram = parameters.line();
  if (IDATA.histogram < 0) {
    stop_at(format_line("(A,I4)"_fmt, " Invalid histogram number:", IDATA.histogram),
            parameters.name(), parameters.line(), "the histogram number is ", IDATA.histogram,
            "; it must not be negative");
  }
  value_line(parameters, CDATA.LINE, "phase", IDATA.phase_no);
  PARLINES.phase_no = parameters.line();
}

void read_data_kolmex(TextInput& parameters) {
  value_line(parameters, CDATA.LINE, "E", RDATA.E);
  value_line(parameters, CDATA.LINE, "IAMP", IDATA.IAMP);
  value_line(parameters, CDATA.LINE, "lambda0", RDATA.lambda0);
}

}  // namespace sfconv
