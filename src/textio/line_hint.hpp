// The hint a report adds when a parameter line does not hold what belongs
// there: which line was expected, what the line found looks like and, when
// that is what the line above or below should hold, that a line is probably
// missing or extra. A run notes each significant line it reads and what the
// places of the file should hold; the hint is made of both.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "textio/failure.hpp"
#include "textio/parameter_lines.hpp"
#include "textio/text_input.hpp"

namespace sfconv {

// The kinds one place of the parameter file may hold: one kind, or several
// where the run decides later (one total or two, a polarization line or a
// detector-angle line, or none).
using Place = std::vector<const ParameterLine*>;

// "run.fou", "results/out.sf": one word that is not a number, with a '/' or
// an extension that begins with a letter, and no "/" at its end.
bool looks_like_file_name(std::string_view line);

// "F 225", "P,14-2": a letter, a blank or a comma, then a number.
bool looks_like_space_group_line(std::string_view line);

// What a line looks like: "a file name", "a title", "a space-group line", "one
// real", "three integers", "a detector-angle line ending with "/""; empty when
// it looks like nothing in particular.
std::string line_shape(std::string_view line);

// Whether a line could be the line of `kind`: its form, the number of its
// values and, with `ranges`, their range where the run refuses others (E and
// lambda0 above 0, IAMP 0 or 1, a grid division 1 or more, a histogram 0 or
// more, a phase 1 or more).
bool could_be(std::string_view line, const ParameterLine& kind, bool ranges = true);

// The significant lines a run has read from its parameter file, and what the
// places of the file should hold.
class ParameterLog {
 public:
  // What each place of the file should hold, from its first line on.
  void expect(std::vector<Place> places) { plan_ = std::move(places); }
  // A line `parameters` handed over for `what` (a kind's name), as the
  // reader returned it. A line of another stream, or of an earlier line of
  // this one, begins a new log.
  void note(TextInput& parameters, std::string_view what, std::string_view text);
  // The stream is no longer there to look ahead in.
  void close() { stream_ = nullptr; }
  // Forgets the lines and the plan.
  void clear();

  // The hint for line `line` of `file`, a line noted and found wanting;
  // empty when no such line was noted. Looks ahead at the lines after it.
  std::string hint(std::string_view file, long line);
  // The hint for the end of `file` where a line for `what` was awaited.
  std::string hint_at_end(std::string_view file, std::string_view what);

 private:
  struct Read {
    const ParameterLine* kind;  // nullptr: not named
    long line;
    std::string text;
  };
  // A slip that shifts the lines: direction 1 a line missing (each line
  // holds the next place's), -1 a line extra; 0 none found. Indices of read_:
  // the first line that holds another place's value, and the last one above
  // it that holds its own (when there is one).
  struct Shift {
    int direction = 0;
    const ParameterLine* like = nullptr;   // what the line found could be
    const ParameterLine* other = nullptr;  // and, when it could be either, the line above
    std::size_t above = 0;
    std::size_t after = 0;
    bool has_after = false;
  };
  Place place(std::size_t i) const;
  const std::vector<std::string>& ahead();
  Shift shift(const std::vector<std::string>& texts, std::size_t i, bool at_end) const;
  std::string shift_text(const Shift& s, bool shape) const;

  std::vector<Place> plan_;
  std::vector<Read> read_;
  std::vector<std::string> looked_ahead_;
  std::string file_;
  TextInput* stream_ = nullptr;
};

extern ParameterLog PARAMETER_LOG;

// Stops the run on a value of line `line` of the parameter file `file`:
// `message` on standard output, "sfconv: FILE, line N: " and `why` and the
// hint for the line on standard error.
template <typename... Why>
[[noreturn]] void stop_on_line(std::string message, std::string_view file, long line,
                               const Why&... why) {
  throw RecognisedStop{std::move(message), cat("sfconv: ", place(file, line), why...),
                       PARAMETER_LOG.hint(file, line)};
}

}  // namespace sfconv
