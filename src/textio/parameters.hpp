// The parameter file's value lines: values read free-form from the next
// significant line, and the space-group line.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "textio/freeform.hpp"
#include "textio/readline.hpp"
#include "textio/text_field.hpp"
#include "textio/text_input.hpp"

namespace sfconv {

// A value line that holds more values than were read from it: the rest is
// ignored, which is rarely what the user meant ("1,54056" reads as 1), so the
// run warns of it. `text` is the line.
void warn_more_values(const Origin& origin, std::string_view text, std::size_t read);

// Reads the next significant line into `line` and its first values,
// free-form, into `items`; `what` names the line in reports.
template <std::size_t N, typename... T>
void value_line(TextInput& parameters, Text<N>& line, std::string_view what, T&... items) {
  readline(parameters, line, what);
  Origin origin = line_origin(parameters, what);
  if (read_free(line.view(), origin, items...)) {
    warn_more_values(origin, line.trimmed(), sizeof...(T));
  }
}

// A space-group line as decoded.
struct SpaceGroupLine {
  Text<1> VOL;           // the lattice letter
  std::int32_t SPG = 0;  // the space-group number
  std::int32_t SET = 0;  // the setting
};

// Reads the next significant line into `line` as a space-group line, "P 14-2":
// VOL is the first character, SPG the number from column 3, SET the number
// after the first '-' from column 4 on (1 when there is none). The line must
// hold a lattice letter, a blank or comma, a space-group number from 1 to 230
// and a setting of 1 or more, or the run stops: "225" would give VOL 2 and
// SPG 5, "P14" SPG 4.
SpaceGroupLine space_group_line(TextInput& parameters, Text<512>& line);

}  // namespace sfconv
