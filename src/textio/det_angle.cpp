// The detector-angle line of the parameter file.
#include "textio/det_angle.hpp"

#include <span>

#include "textio/edit.hpp"
#include "textio/failure.hpp"
#include "textio/freeform.hpp"
#include "textio/parameters.hpp"
#include "textio/readline.hpp"
#include "textio/report.hpp"

namespace sfconv {

float det_angle(TextInput& parameters, const std::int32_t& n, std::int32_t& nangles,
                AngleTable& table, std::string_view whose) {
  const ParameterLine& kind = lines::angles;
  Text<150> line;
  readline(parameters, line, kind.name);
  Origin origin = line_origin(parameters, kind.name);
  refuse_placeholder(origin, line.trimmed(), kind);
  ParameterRecord source(line.view(), origin, kind);
  if (read_free(source, std::span<float>(table))) {
    warn(place(origin.file, origin.line), "the detector-angle line ", quote_line(line.trimmed()),
         " holds more than 25 angles; those after the 25th are not read");
  }
  nangles = 0;
  for (int i = 25; i >= 1; --i) {
    if (table[i - 1] != 0.0f) {
      nangles = i;
      break;
    }
  }
  if (n < 1 || n > nangles) {
    std::string given = nangles == 0   ? std::string("no angle")
                        : nangles == 1 ? std::string("1 angle (bank 1)")
                                       : cat(nangles, " angles (banks 1 to ", nangles, ")");
    stop_at(format_line("(A,I4)"_fmt, "Invalid histogram number:", n), origin.file, origin.line,
            whose.empty() ? "the bank" : whose, " is bank ", n,
            ", but the detector-angle line gives ", given);
  }
  return table[n - 1];
}

}  // namespace sfconv
