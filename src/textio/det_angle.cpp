// The detector-angle line of the parameter file.
#include "textio/det_angle.hpp"

#include <array>
#include <span>

#include "driver/report.hpp"
#include "textio/edit.hpp"
#include "textio/failure.hpp"
#include "textio/freeform.hpp"
#include "textio/readline.hpp"

namespace sfconv {

namespace {
// Angles of banks 1 to 25; an entry of exactly zero counts as not given.
std::array<float, 25> table{};
}  // namespace

void det_angle_reset() {
  table.fill(0.0f);
}

float det_angle(TextInput& parameters, const std::int32_t& n, std::int32_t& nangles,
                std::string_view whose) {
  Text<150> line;
  readline(parameters, line, "detector-angle");
  Origin origin = line_origin(parameters, "detector-angle");
  if (read_free(line.view(), origin, std::span<float>(table))) {
    warn(place(origin.file, origin.line) + "the detector-angle line " + quote_line(line.trimmed()) +
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
    std::string why = std::string(whose.empty() ? "the bank" : whose) + " is bank " +
                      std::to_string(n) + ", but the detector-angle line gives ";
    if (nangles == 0) {
      why += "no angle";
    } else if (nangles == 1) {
      why += "1 angle (bank 1)";
    } else {
      why += std::to_string(nangles) + " angles (banks 1 to " + std::to_string(nangles) + ")";
    }
    throw RecognisedStop{format_line("(A,I4)"_fmt, "Invalid histogram number:", n),
                         at_line(origin.file, origin.line) + why};
  }
  return table[n - 1];
}

}  // namespace sfconv
