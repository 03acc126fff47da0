// The driver's part of the report.
#include "driver/report.hpp"

#include "driver/run_state.hpp"
#include "textio/chars.hpp"
#include "textio/edit.hpp"

namespace sfconv {

std::string angle_text(float degrees) {
  return std::string(trim_start(format_line("(F7.2)"_fmt, degrees)));
}

void sum_up(const std::string& output) {
  note("cell ", format_line("(6F10.5)"_fmt, RDATA.CELL));
  std::string dropped;
  auto add = [&dropped](long n, const char* why) {
    if (n == 0) return;
    dropped += cat(dropped.empty() ? "; dropped: " : ", ", n, " ", why);
  };
  add(REPORT.dropped_zero_intensity, "with zero intensity");
  add(REPORT.dropped_code, "with another phase's code");
  add(REPORT.dropped_f2, "with an F^2 value not positive");
  note(IDATA.NREF1 > 0 ? IDATA.NREF1 : 0,
       IDATA.NREF1 == 1 ? " reflection written" : " reflections written", dropped);
  note("wrote ", output);
  if (IDATA.NREF1 <= 0) {
    warn("no reflection written to ", output, REPORT.no_reflection_why.empty() ? "" : ": ",
         REPORT.no_reflection_why);
  }
}

}  // namespace sfconv
