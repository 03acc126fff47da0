// The parameter file's values, into the run state.
#include "driver/read_data.hpp"

#include <algorithm>
#include <cstdint>
#include <string>
#include <utility>

#include "run/run_state.hpp"
#include "textio/chars.hpp"
#include "textio/edit.hpp"
#include "textio/failure.hpp"
#include "textio/parameters.hpp"
#include "textio/readline.hpp"
#include "textio/report.hpp"

namespace sfconv {

namespace {

// E scales the counting statistics in sigma(|Fo|) = 0.5 |Fo| sqrt(1/(E Io)):
// at 0 or below every sigma would be infinite or not a number.
void read_e(TextInput& parameters) {
  value_line(parameters, CDATA.LINE, lines::E, RDATA.E);
  if (!(RDATA.E > 0.0f)) {
    stop_on_line(format_line("(A)"_fmt, " E should be greater than 0"), parameters.name(),
                 parameters.line(), "E is ", real_text(RDATA.E),
                 "; it scales the counting statistics in sigma(|Fo|) = 0.5 |Fo| sqrt(1/(E Io))"
                 " and must be greater than 0");
  }
}

// The title line: its first 70 columns. A cut inside a UTF-8 character would
// leave invalid UTF-8 in the output, so the bytes of a character the cut
// splits become blanks; a title that was cut is warned of with what was left
// out.
void read_title(TextInput& parameters) {
  std::string beyond;
  readline(parameters, CDATA.TITLE, lines::title.name, &beyond);
  // Only a title that is the placeholder alone: "Why?" is a title.
  if (CDATA.TITLE.trimmed() == "?") {
    refuse_placeholder(line_origin(parameters, lines::title.name), "?", lines::title);
  }
  if (beyond.empty()) return;
  auto byte = [](char c) { return static_cast<unsigned char>(c); };
  const std::string_view kept = CDATA.TITLE.trimmed();
  if ((byte(beyond[0]) & 0xC0) == 0x80 && !kept.empty()) {
    // Back over the continuation bytes kept to the character's first byte.
    std::size_t start = kept.size() - 1;
    while (start > 0 && (byte(kept[start]) & 0xC0) == 0x80) --start;
    const unsigned char lead = byte(kept[start]);
    const std::size_t need = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
    if (need > kept.size() - start) {
      beyond.insert(0, kept.substr(start));
      std::fill(CDATA.TITLE.data() + start, CDATA.TITLE.data() + kept.size(), ' ');
    }
  }
  warn(place(parameters.name(), parameters.line()), "the title is cut after column ",
       CDATA.TITLE.size(), "; left out: ", quoted(beyond));
}

}  // namespace

void read_data_gsas_fullprof(TextInput& parameters) {
  read_title(parameters);
  const SpaceGroupLine group = space_group_line(parameters, CDATA.LINE);
  if (!is_lattice_letter(group.VOL.c[0])) {
    warn(place(parameters.name(), parameters.line()), "the lattice letter ", group.VOL.c[0],
         " is none of P, A, B, C, F, I, R");
  }
  CDATA.VOL = group.VOL;
  IDATA.SPG = group.SPG;
  IDATA.SET = group.SET;
  read_e(parameters);
  value_line(parameters, CDATA.LINE, lines::grid, IDATA.NX, IDATA.NY, IDATA.NZ);
  const std::pair<const char*, std::int32_t> grid[] = {
      {"NX", IDATA.NX}, {"NY", IDATA.NY}, {"NZ", IDATA.NZ}};
  for (const auto& [name, n] : grid) {
    if (n >= 1) continue;
    stop_on_line(format_line("(A)"_fmt, " NX, NY and NZ should be 1 or more"), parameters.name(),
                 parameters.line(), name, " is ", n,
                 "; the grid divisions along a, b and c must each be 1 or more");
  }
  value_line(parameters, CDATA.LINE, lines::IAMP, IDATA.IAMP);
  if (IDATA.IAMP == 0) {
    value_line(parameters, CDATA.LINE, lines::total, RDATA.TOTAMP);
  } else if (IDATA.IAMP == 1) {
    value_line(parameters, CDATA.LINE, lines::totals, RDATA.TOTAMP, RDATA.TOTAMP2);
  } else {
    stop_on_line(format_line("(A)"_fmt, " IAMP should be 0 or 1"), parameters.name(),
                 parameters.line(), "IAMP is ", IDATA.IAMP,
                 "; it must be 0 (one total amplitude) or 1 (two totals, b+ and b-)");
  }
  value_line(parameters, CDATA.LINE, lines::lambda0, RDATA.lambda0);
  PARLINES.lambda0 = parameters.line();
  // A CIF file's data set takes the histogram's place.
  const bool cif = CDATA.PROG.c[0] == 'C';
  value_line(parameters, CDATA.LINE, cif ? lines::data_set : lines::histogram, IDATA.histogram);
  PARLINES.histogram = parameters.line();
  if (IDATA.histogram < 0) {
    stop_on_line(format_line("(A,I4)"_fmt, " Invalid histogram number:", IDATA.histogram),
                 parameters.name(), parameters.line(),
                 cif ? "the data set number is " : "the histogram number is ", IDATA.histogram,
                 "; it must not be negative");
  }
  value_line(parameters, CDATA.LINE, lines::phase, IDATA.phase_no);
  PARLINES.phase_no = parameters.line();
}

std::vector<Place> parameter_places(char prog) {
  std::vector<Place> places{{&lines::input_name}};
  if (prog == 'F') places.push_back({&lines::second_name});
  places.push_back({&lines::output_name});
  if (prog == 'R') {
    for (const ParameterLine* kind : {&lines::E, &lines::IAMP, &lines::lambda0}) {
      places.push_back({kind});
    }
    return places;
  }
  for (const ParameterLine* kind :
       {&lines::title, &lines::space_group, &lines::E, &lines::grid, &lines::IAMP}) {
    places.push_back({kind});
  }
  places.push_back({&lines::total, &lines::totals});
  places.push_back({&lines::lambda0});
  places.push_back({prog == 'C' ? &lines::data_set : &lines::histogram});
  places.push_back({&lines::phase});
  if (prog == 'F') {
    places.push_back({&lines::angles});
  } else {
    places.push_back({&lines::polarization, &lines::angles});
  }
  return places;
}

void read_data_kolmex(TextInput& parameters) {
  read_e(parameters);
  value_line(parameters, CDATA.LINE, lines::IAMP, IDATA.IAMP);
  if (IDATA.IAMP != 0 && IDATA.IAMP != 1) {
    warn(place(parameters.name(), parameters.line()), "IAMP is ", IDATA.IAMP,
         ", neither 0 nor 1: the header has no amplitude lines and no E line");
  }
  value_line(parameters, CDATA.LINE, lines::lambda0, RDATA.lambda0);
}

}  // namespace sfconv
