// The parameter file's value lines.
#include "textio/parameters.hpp"

#include <string_view>

#include "driver/report.hpp"
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

}  // namespace

void warn_more_values(const Origin& origin, std::size_t read) {
  std::string text(CDATA.LINE.trimmed());
  std::string w = cat(place(origin.file, origin.line), "the ", origin.what, " line ",
                      quote_line(text), " holds more values than the ", read, " read from it");
  for (std::size_t i = 1; i + 1 < text.size(); ++i) {
    if (text[i] == ',' && text[i - 1] >= '0' && text[i - 1] <= '9' && text[i + 1] >= '0' &&
        text[i + 1] <= '9') {
      w += " (a decimal comma? write a point)";
      break;
    }
  }
  warn(w);
}

namespace {

// "P 14-2": VOL is the first character, SPG the number from column 3, SET the
// number after the first '-' from column 4 on (1 when there is none). The
// line must then hold a lattice letter, a blank or comma, and a space-group
// number from 1 to 230: "225" would give VOL 2 and SPG 5, "P14" SPG 4.
void space_group_line(TextInput& parameters) {
  Origin origin = next_line(parameters, "space-group");
  std::string_view line = CDATA.LINE.view();
  read_internal(line, origin, "(A1)"_fmt, CDATA.VOL);
  std::size_t dash = line.find('-', 3);
  bool more = false;
  if (dash == std::string_view::npos) {
    more = read_free(line.substr(2), origin, IDATA.SPG);
    IDATA.SET = 1;
  } else {
    more = read_free(line.substr(2, dash - 2), origin, IDATA.SPG);
    more = read_free(line.substr(dash + 1), origin, IDATA.SET) || more;
  }

  const char letter = line[0];
  const bool is_letter = (letter >= 'A' && letter <= 'Z') || (letter >= 'a' && letter <= 'z');
  std::string why;
  if (!is_letter) {
    why = "its first character must be the lattice letter (P, A, B, C, F, I, R)";
  } else if (line[1] != ' ' && line[1] != ',') {
    why = "the lattice letter must be followed by a blank or a comma, then the number";
  } else if (IDATA.SPG < 1 || IDATA.SPG > 230) {
    why = cat("the space-group number ", IDATA.SPG, " is not between 1 and 230");
  }
  if (!why.empty()) {
    stop_at(format_line("(2A)"_fmt, " Invalid space-group line: ", CDATA.LINE.trimmed()),
            origin.file, origin.line, why);
  }
  if (more) warn_more_values(origin, dash == std::string_view::npos ? 1 : 2);
}

}  // namespace

void read_data_gsas_fullprof(TextInput& parameters) {
  readline(parameters, CDATA.TITLE, "title");
  space_group_line(parameters);
  value_line(parameters, "E", RDATA.E);
  value_line(parameters, "NX NY NZ", IDATA.NX, IDATA.NY, IDATA.NZ);
  value_line(parameters, "IAMP", IDATA.IAMP);
  if (IDATA.IAMP == 0) {
    value_line(parameters, "total amplitude", RDATA.TOTAMP);
  } else if (IDATA.IAMP == 1) {
    value_line(parameters, "total amplitudes", RDATA.TOTAMP, RDATA.TOTAMP2);
  } else {
    stop_at(format_line("(A)"_fmt, " IAMP should be 0 or 1"), parameters.name(), parameters.line(),
            "IAMP is ", IDATA.IAMP,
            "; it must be 0 (one total amplitude) or 1 (two totals, b+ and b-)");
  }
  value_line(parameters, "lambda0", RDATA.lambda0);
  value_line(parameters, "histogram", IDATA.histogram);
  if (IDATA.histogram < 0) {
    stop_at(format_line("(A,I4)"_fmt, " Invalid histogram number:", IDATA.histogram),
            parameters.name(), parameters.line(), "the histogram number is ", IDATA.histogram,
            "; it must not be negative");
  }
  value_line(parameters, "phase", IDATA.phase_no);
}

void read_data_kolmex(TextInput& parameters) {
  value_line(parameters, "E", RDATA.E);
  value_line(parameters, "IAMP", IDATA.IAMP);
  value_line(parameters, "lambda0", RDATA.lambda0);
}

}  // namespace sfconv
