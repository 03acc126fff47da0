// The driver's part of the report.
#include "run/report.hpp"

#include <new>
#include <utility>

#include "run/run_state.hpp"
#include "textio/chars.hpp"
#include "textio/edit.hpp"

namespace sfconv {

namespace {

struct Statement {
  const char* kind = "OPEN";
  int unit = 5;
  std::string what = "reading the command line";
};
Statement current;

// The three-line report of an exception sfconv does not throw itself.
std::string unforeseen(const char* failed, const char* text) {
  return IoFailure{cat("sfconv: ", failed, " while ", current.what), text, current.kind,
                   current.unit}
      .report();
}

}  // namespace

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
  add(REPORT.dropped_no_value, "with no observed value");
  add(REPORT.dropped_not_positive, "with an observed value not positive");
  note(IDATA.NREF1 > 0 ? IDATA.NREF1 : 0,
       IDATA.NREF1 == 1 ? " reflection written" : " reflections written", dropped);
  note("wrote ", output);
  if (IDATA.NREF1 <= 0) {
    warn("no reflection written to ", output, REPORT.no_reflection_why.empty() ? "" : ": ",
         REPORT.no_reflection_why);
  }
}

std::string report_text(bool verbose) {
  std::string text;
  if (verbose) {
    for (const std::string& line : REPORT.facts)
      text += cat(printable(cat("sfconv: ", line)), '\n');
  }
  for (const std::string& line : REPORT.warnings) {
    text += cat(printable(cat("sfconv: warning: ", line)), '\n');
  }
  return text;
}

void under_way(const char* kind, int unit, std::string what) {
  current = Statement{kind, unit, std::move(what)};
}

Ending ending_of(const std::function<void()>& body) {
  try {
    body();
    return {};
  } catch (const RecognisedStop& stop) {
    std::string err = stop.where.empty() ? "" : printable(stop.where) + '\n';
    if (!stop.hint.empty()) err += printable(cat("sfconv: hint: ", stop.hint)) + '\n';
    return {1, printable(stop.line) + '\n', err};
  } catch (const StrictStop& strict) {
    return {
        1, " Warnings with --strict: no output file written\n",
        report_text(false) +
            printable(cat("sfconv: --strict makes every warning a stop: nothing was written to ",
                          strict.output)) +
            '\n'};
  } catch (const IoFailure& failure) {
    return {2, "", failure.report()};
  } catch (const std::bad_alloc& e) {
    return {2, "", unforeseen("out of memory", e.what())};
  } catch (const std::exception& e) {
    return {2, "", unforeseen("internal error", e.what())};
  } catch (...) {
    return {2, "", unforeseen("internal error", "an exception of unknown type")};
  }
}

}  // namespace sfconv
