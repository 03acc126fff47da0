// The detector-angle line of the parameter file.
#include "textio/det_angle.hpp"

#include <array>
#include <span>

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

float det_angle(TextInput& parameters, const std::int32_t& n, std::int32_t& nangles) {
  Text<150> line;
  readline(parameters, line, "detector-angle");
  read_free(line.view(), line_origin(parameters, "detector angles"), std::span<float>(table));
  nangles = 0;
  for (int i = 25; i >= 1; --i) {
    if (table[i - 1] != 0.0f) {
      nangles = i;
      break;
    }
  }
  if (n < 1 || n > nangles) {
    throw RecognisedStop{format_line("(A,I4)"_fmt, "Invalid histogram number:", n)};
  }
  return table[n - 1];
}

}  // namespace sfconv
