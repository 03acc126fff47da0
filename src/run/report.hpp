// The driver's part of the report: the summary's last lines, the statement
// under way, and how the run ended, as main prints it.
#pragma once

#include <functional>
#include <string>

#include "textio/report.hpp"

namespace sfconv {

// An angle in degrees as the output header writes it (F7.2), without blanks.
std::string angle_text(float degrees);

// The end of the summary, once `output` is written: the cell, the reflections
// written and dropped, the file; and the warning when none was written.
void sum_up(const std::string& output);

// The report printed after a successful run: with `verbose` the summary,
// then the warnings, a line each.
std::string report_text(bool verbose);

// The statement the run is carrying out, for the report of a failure nobody
// foresaw: `what` names it in the report's first line ("reading run.lst"),
// `kind` and `unit` make its third line ("? READ(UNIT=1,...").
void under_way(const char* kind, int unit, std::string what);

// A run with --strict that warned ends with this instead of writing its
// output: a recognised stop whose report is the warnings. `output` names the
// file left as it was.
struct StrictStop {
  std::string output;
};

// How a run ended: its exit status and what it has to say.
struct Ending {
  int status = 0;
  std::string out;  // for standard output: a recognised stop's message
  std::string err;  // for standard error
};

// Runs `body` and tells how it ended: status 0 and nothing to say when it
// returns; 1 and the two lines of a RecognisedStop, or the warnings of a
// StrictStop; 2 and the three-line report of an IoFailure, or of any other
// exception (memory exhausted, a fault of sfconv's own), whose report names
// the statement under way. Every message line is made printable.
Ending ending_of(const std::function<void()>& body);

}  // namespace sfconv
