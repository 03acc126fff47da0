// The detector-angle line of the parameter file.
#include "textio/det_angle.hpp"

#include <span>

#include "textio/edit.hpp"
#include "textio/failure.hpp"
#include "textio/freeform.hpp"
#include "textio/readline.hpp"
#include "textio/report.hpp"

namespace sfconv {

float det_angle(TextInput& parameters, const std::int32_t& n, std::int32_t& nangles,
                AngleTable& table, std::string_view whose) {
  Text<150> line;
  readline(parameters, line, "detector-angle");
  Origin origin = line_origin(parameters, "detector-angle");
  if (read_free(line.view(), origin, std::span<float>(table))) {
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
  // At 0 or 180 degrees (or beyond) sin(theta) is 0 or negative: every
  // wavelength and Lorentz factor of the bank would be too.
  const float angle = table[n - 1];
  if (!(angle > 0.0f && angle < 180.0f)) {
    stop_at(format_line("(A,F8.2)"_fmt, " Invalid detector angle:", angle), origin.file,
            origin.line, whose.empty() ? "the bank" : whose, " is bank ", n,
            ", whose angle on the detector-angle line is ", real_text(angle),
            "; 2theta must lie between 0 and 180 degrees, both excluded");
  }
  return angle;
}

}  // namespace sfconv
