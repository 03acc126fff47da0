// The detector-angle line of the parameter file.
#include "textio/det_angle.hpp"

#include <cmath>
#include <limits>
#include <span>

#include "textio/edit.hpp"
#include "textio/failure.hpp"
#include "textio/freeform.hpp"
#include "textio/parameters.hpp"
#include "textio/readline.hpp"
#include "textio/report.hpp"

namespace sfconv {

namespace {

// The detector-angle line as the free-form read takes it: where the line
// ends before its 25 values and a "/", a "/" stands in for the next record,
// so that the read ends there and tells how many angles the line gave.
class AngleLine final : public RecordSource {
 public:
  AngleLine(std::string_view line, const Origin& origin, const ParameterLine& kind)
      : line_(line, origin, kind) {}

  bool next(std::string_view& record) override {
    if (line_.next(record)) return true;
    ran_out_ = true;
    record = "/";
    return true;
  }
  [[noreturn]] void fail(const char* message) const override { line_.fail(message); }
  [[noreturn]] void fail_end_of_file() const override { line_.fail_end_of_file(); }
  bool ran_out() const { return ran_out_; }

 private:
  ParameterRecord line_;
  bool ran_out_ = false;
};

}  // namespace

float det_angle(TextInput& parameters, const std::int32_t& n, std::int32_t& nangles,
                AngleTable& table, std::string_view whose) {
  const ParameterLine& kind = lines::angles;
  Text<150> line;
  readline(parameters, line, kind.name);
  Origin origin = line_origin(parameters, kind.name);
  refuse_placeholder(origin, line.trimmed(), kind);
  // Entries not given keep their values: read into a copy marked NaN, so
  // that those given show.
  AngleTable given;
  given.fill(std::numeric_limits<float>::quiet_NaN());
  AngleLine source(line.view(), origin, kind);
  const bool more = read_free(source, std::span<float>(given));
  if (source.ran_out()) {
    int count = 0;
    for (int i = 0; i < 25; ++i) {
      if (!std::isnan(given[i])) count = i + 1;
    }
    throw IoFailure{error_in(origin.file, origin.line, " (reading detector-angle from ",
                             quote_line(line.trimmed()), "): the line gives ", count,
                             count == 1 ? " angle" : " angles",
                             "; a line with fewer than 25 angles ends with \"/\" (90.0 145.0 /)"),
                    msg::end_of_file, "READ", origin.unit,
                    PARAMETER_LOG.hint(origin.file, origin.line)};
  }
  for (int i = 0; i < 25; ++i) {
    if (!std::isnan(given[i])) table[i] = given[i];
  }
  if (more) {
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
    std::string held = nangles == 0   ? std::string("no angle")
                       : nangles == 1 ? std::string("1 angle (bank 1)")
                                      : cat(nangles, " angles (banks 1 to ", nangles, ")");
    stop_on_line(format_line("(A,I4)"_fmt, "Invalid histogram number:", n), origin.file,
                 origin.line, whose.empty() ? "the bank" : whose, " is bank ", n,
                 ", but the detector-angle line gives ", held);
  }
  // At 0 or 180 degrees (or beyond) sin(theta) is 0 or negative: every
  // wavelength and Lorentz factor of the bank would be too.
  const float angle = table[n - 1];
  if (!(angle > 0.0f && angle < 180.0f)) {
    stop_on_line(format_line("(A,F8.2)"_fmt, " Invalid detector angle:", angle), origin.file,
                 origin.line, whose.empty() ? "the bank" : whose, " is bank ", n,
                 ", whose angle on the detector-angle line is ", real_text(angle),
                 "; 2theta must lie between 0 and 180 degrees, both excluded");
  }
  return angle;
}

}  // namespace sfconv
