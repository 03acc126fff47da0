// The parameter file's lines: what belongs on each, values read free-form from
// the next significant line, the space-group line, and the reports of a line
// that does not hold what belongs there.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "textio/freeform.hpp"
#include "textio/line_hint.hpp"
#include "textio/parameter_lines.hpp"
#include "textio/readline.hpp"
#include "textio/text_field.hpp"
#include "textio/text_input.hpp"

namespace sfconv {

// A parameter line read by itself. A value that does not decode is reported
// with the line as read and, when the line looks like another line's value (a
// file name where a number belongs), that a line may be missing or extra
// above it; the report's hint says more (PARAMETER_LOG). `whole` is the line
// when the record is a part of it.
class ParameterRecord final : public InternalRecord {
 public:
  ParameterRecord(std::string_view record, std::string_view whole, const Origin& origin,
                  const ParameterLine& kind)
      : InternalRecord(record, origin), whole_(whole), kind_(kind) {}
  ParameterRecord(std::string_view record, const Origin& origin, const ParameterLine& kind)
      : ParameterRecord(record, record, origin, kind) {}

  [[noreturn]] void fail(const char* message) const override;
  [[noreturn]] void fail_end_of_file() const override { fail(msg::end_of_file); }

 private:
  std::string_view whole_;
  const ParameterLine& kind_;
};

// What a line that was read in the place of `kind` looks like, when that is
// the value of another line ("a file name", "a space-group line"); empty when
// it looks like nothing in particular.
std::string_view looks_like(std::string_view line, const ParameterLine& kind);

// Whether a line holds the placeholder "?" that sfconv --init writes for a
// value the refinement file cannot give: as a value of its own, between
// blanks, commas or a "/".
bool holds_placeholder(std::string_view line);

// Stops the run when `line`, read as `kind`, holds the placeholder: the report
// of an illegal character, whose first line says what belongs there.
void refuse_placeholder(const Origin& origin, std::string_view line, const ParameterLine& kind);

// A value line that holds more values than were read from it: the rest is
// ignored, which is rarely what the user meant ("1,54056" reads as 1), so the
// run warns of it. `text` is the line.
void warn_more_values(const Origin& origin, std::string_view text, std::size_t read);

// Reads the next significant line into `line` and its first values,
// free-form, into `items`.
template <std::size_t N, typename... T>
void value_line(TextInput& parameters, Text<N>& line, const ParameterLine& kind, T&... items) {
  readline(parameters, line, kind.name);
  Origin origin = line_origin(parameters, kind.name);
  refuse_placeholder(origin, line.trimmed(), kind);
  ParameterRecord source(line.view(), origin, kind);
  if (read_free(source, items...)) warn_more_values(origin, line.trimmed(), sizeof...(T));
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
