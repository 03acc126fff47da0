// The parameter file's lines: what belongs on each, values read free-form from
// the next significant line, the space-group line, and the reports of a line
// that does not hold what belongs there.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "textio/freeform.hpp"
#include "textio/readline.hpp"
#include "textio/text_field.hpp"
#include "textio/text_input.hpp"

namespace sfconv {

// A line of the parameter file: the name reports give it, and what belongs
// there (what the report of a "?" that sfconv --init left there says).
struct ParameterLine {
  std::string_view name;
  std::string_view belongs;
  bool integers = false;  // its values are integers
};

namespace lines {
inline constexpr ParameterLine input_name{
    "input file name", "the name of the refinement program's file (.lst, .out or .fos)"};
inline constexpr ParameterLine second_name{
    "second file name", "the name of FullProf's second file of moduli and phase angles (.fou)"};
inline constexpr ParameterLine output_name{"output file name",
                                           "the name of the structure-factor file to write"};
inline constexpr ParameterLine title{"title", "the title, at most 70 characters"};
inline constexpr ParameterLine space_group{
    "space-group",
    "the lattice letter, the space-group number and after a '-' the setting (F 225, P 14-2)"};
inline constexpr ParameterLine E{"E", "E, the scale of the counting statistics in sigma(|Fo|)"};
inline constexpr ParameterLine grid{"NX NY NZ", "NX NY NZ, the grid divisions along a, b and c",
                                    true};
inline constexpr ParameterLine IAMP{"IAMP",
                                    "IAMP: 0 for one total amplitude, 1 for two (b+ and b-)", true};
inline constexpr ParameterLine total{"total amplitude", "the total amplitude"};
inline constexpr ParameterLine totals{"total amplitudes", "the two total amplitudes, b+ and b-"};
inline constexpr ParameterLine lambda0{"lambda0", "lambda0, the wavelength written to the header"};
inline constexpr ParameterLine histogram{
    "histogram", "the number of the histogram (FullProf: the pattern) to convert", true};
inline constexpr ParameterLine data_set{
    "data set", "the number of the data set (the n-th reflection loop of the CIF file) to convert",
    true};
inline constexpr ParameterLine phase{"phase", "the number of the phase to convert", true};
inline constexpr ParameterLine polarization{
    "polarization", "the polarization fraction and the monochromator factor"};
inline constexpr ParameterLine angles{
    "detector-angle",
    "the 2theta of each detector bank in degrees, ended with / when fewer than 25"};
}  // namespace lines

// A parameter line read by itself. A value that does not decode is reported
// with the line as read and, when the line looks like another line's value (a
// file name where a number belongs), with the hint that a line may be missing
// or extra above it. `whole` is the line when the record is a part of it.
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
