// The parameter file's lines.
#include "textio/parameters.hpp"

#include <string>

#include "textio/chars.hpp"
#include "textio/edit.hpp"
#include "textio/failure.hpp"
#include "textio/numeric_input.hpp"
#include "textio/report.hpp"

namespace sfconv {

namespace {

bool is_separator(char c) {
  return is_blank(c) || c == ',' || c == '/';
}

bool is_number(std::string_view token) {
  float value = 0.0f;
  return number_in(token, 0, value);
}

// The values of a line, one after the other: what lies between separators.
template <typename Each>
void each_value(std::string_view line, Each each) {
  std::size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && is_separator(line[i])) ++i;
    std::size_t start = i;
    while (i < line.size() && !is_separator(line[i])) ++i;
    if (i > start) each(line.substr(start, i - start));
  }
}

}  // namespace

std::string_view looks_like(std::string_view line, const ParameterLine& kind) {
  line = trim(line);
  if (line.empty()) return {};
  const bool group = &kind == &lines::space_group;
  if (looks_like_file_name(line)) return "a file name";
  if (looks_like_space_group_line(line)) return group ? std::string_view{} : "a space-group line";
  if (line.back() == '/' && &kind != &lines::angles) return "a detector-angle line";
  bool numbers = true;
  int count = 0;
  each_value(line, [&](std::string_view value) {
    numbers = numbers && is_number(value);
    ++count;
  });
  // Where the space-group line belongs, only words ("NaCl, Cu Ka1") make a
  // title: "Pnma" and "P n m a" are space groups written otherwise.
  if (is_letter(line[0]) && (!group || (is_letter(line[1]) && count > 1))) return "a title";
  if (numbers && group) return "a line of numbers";
  if (numbers && count == 1 && kind.integers &&
      line.find_first_of(".eEdD") != std::string_view::npos) {
    return "a real value (E, a total amplitude or lambda0)";
  }
  return {};
}

void ParameterRecord::fail(const char* message) const {
  const Origin& at = origin();
  std::string header =
      error_in(at.file, at.line, " (reading ", at.what, " from ", quote_line(whole_), ")");
  std::string_view like = looks_like(whole_, kind_);
  if (!like.empty()) {
    header += cat(": it looks like ", like, ", so a line may be missing or extra above it");
  }
  throw IoFailure{header, message, "READ", at.unit, PARAMETER_LOG.hint(at.file, at.line)};
}

bool holds_placeholder(std::string_view line) {
  bool found = false;
  each_value(line, [&found](std::string_view value) { found = found || value == "?"; });
  return found;
}

void refuse_placeholder(const Origin& origin, std::string_view line, const ParameterLine& kind) {
  if (!holds_placeholder(line)) return;
  throw IoFailure{error_in(origin.file, origin.line, " (reading ", origin.what, " from ",
                           quote_line(line), "): \"?\" is a placeholder that sfconv --init ",
                           "left to fill in: the line holds ", kind.belongs),
                  msg::illegal_character, "READ", IoFailure::kInternal};
}

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
  const ParameterLine& kind = lines::space_group;
  readline(parameters, field, kind.name);
  Origin origin = line_origin(parameters, kind.name);
  std::string_view line = field.view();
  refuse_placeholder(origin, field.trimmed(), kind);
  SpaceGroupLine group;
  read_internal(line, origin, "(A1)"_fmt, group.VOL);
  std::size_t dash = line.find('-', 3);
  bool more = false;
  auto number = [&](std::string_view part, std::int32_t& value) {
    ParameterRecord source(part, line, origin, kind);
    return read_free(source, value);
  };
  if (dash == std::string_view::npos) {
    more = number(line.substr(2), group.SPG);
    group.SET = 1;
  } else {
    more = number(line.substr(2, dash - 2), group.SPG);
    more = number(line.substr(dash + 1), group.SET) || more;
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
    stop_on_line(format_line("(2A)"_fmt, " Invalid space-group line: ", field.trimmed()),
                 origin.file, origin.line, why);
  }
  if (more) warn_more_values(origin, field.trimmed(), dash == std::string_view::npos ? 1 : 2);
  return group;
}

}  // namespace sfconv
