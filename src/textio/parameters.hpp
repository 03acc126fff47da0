// The parameter file after its head of file names: the values the
// structure-factor file needs and the refinement program's file lacks.
#pragma once

#include <cstddef>
#include <string_view>

#include "driver/run_state.hpp"
#include "textio/freeform.hpp"
#include "textio/readline.hpp"
#include "textio/text_input.hpp"

namespace sfconv {

// GSAS listings and FullProf outputs: title, space group, E, grid, IAMP,
// totals, lambda0, histogram and phase. Stops on an IAMP other than 0 or 1 and
// on a negative histogram number.
void read_data_gsas_fullprof(TextInput& parameters);

// KOLMEX reflection files: E, IAMP and lambda0 (the rest is in the file).
void read_data_kolmex(TextInput& parameters);

// A value line that holds more values than were read from it: the rest is
// ignored, which is rarely what the user meant ("1,54056" reads as 1), so the
// run warns of it.
void warn_more_values(const Origin& origin, std::size_t read);

// Reads the next significant line into LINE and its first values, free-form,
// into `items`; `what` names the line in reports.
template <typename... T>
void value_line(TextInput& parameters, std::string_view what, T&... items) {
  readline(parameters, CDATA.LINE, what);
  Origin origin = line_origin(parameters, what);
  if (read_free(CDATA.LINE.view(), origin, items...)) warn_more_values(origin, sizeof...(T));
}

}  // namespace sfconv
