// The parameter file's value lines.
#include "textio/parameters.hpp"

#include <string>

#include "textio/chars.hpp"
#include "textio/edit.hpp"
#include "textio/failure.hpp"
#include "textio/report.hpp"

namespace sfconv {

void warn_more_values(const Origin& origin, std::string_view text, std::size_t read) {
  std::string w = cat(place(origin.file, origin.line), "the ", origin.what, " line ",
                      quote_line(text), " holds more values than the ", read, " read from it");
  for (std::size_t i = 1; i + 1 < text.size(); ++i) {
    if (text[i] == ',' && is_digit(text[i - 1]) && is_digit(text[i + 1])) {
      w += " (a decimal comma? write a point)";
      break;
    }
  }
  REPORT.warnings.push_back(std::move(w));
}

SpaceGroupLine space_group_line(TextInput& parameters, Text<512>& field) {
  readline(parameters, field, "space-group");
  Origin origin = line_origin(parameters, "space-group");
  std::string_view line = field.view();
  SpaceGroupLine group;
  read_internal(line, origin, "(A1)"_fmt, group.VOL);
  std::size_t dash = line.find('-', 3);
  bool more = false;
  if (dash == std::string_view::npos) {
    more = read_free(line.substr(2), origin, group.SPG);
    group.SET = 1;
  } else {
    more = read_free(line.substr(2, dash - 2), origin, group.SPG);
    more = read_free(line.substr(dash + 1), origin, group.SET) || more;
  }

  std::string why;
  if (!is_letter(line[0])) {
    why = "its first character must be the lattice letter (P, A, B, C, F, I, R)";
  } else if (line[1] != ' ' && line[1] != ',') {
    why = "the lattice letter must be followed by a blank or a comma, then the number";
  } else if (group.SPG < 1 || group.SPG > 230) {
    why = cat("the space-group number ", group.SPG, " is not between 1 and 230");
  } else if (group.SET < 1) {
    why = cat("the setting ", group.SET,
              " after the '-' is below 1; settings are numbered from 1 (no '-' means setting 1)");
  }
  if (!why.empty()) {
    stop_at(format_line("(2A)"_fmt, " Invalid space-group line: ", field.trimmed()), origin.file,
            origin.line, why);
  }
  if (more) warn_more_values(origin, field.trimmed(), dash == std::string_view::npos ? 1 : 2);
  return group;
}

}  // namespace sfconv
