// The two ways a run ends early. Both are thrown wherever the condition is met
// and caught only in main.
#pragma once

#include <string>
#include <string_view>
#include <utility>

namespace sfconv {

// A bad input that sfconv itself recognises: one line on standard output
// (the message), one on standard error saying where and why ("sfconv:
// params.txt, line 9: ..."), exit 1.
struct RecognisedStop {
  std::string line;
  std::string where;
};

// "FILE, line N: ", where a warning or a stop arose.
inline std::string place(std::string_view file, long line) {
  std::string s(file);
  s.append(", line ").append(std::to_string(line)).append(": ");
  return s;
}

// "sfconv: FILE, line N: " for the line of a stop.
inline std::string at_line(std::string_view file, long line) {
  return "sfconv: " + place(file, line);
}

// An input/output failure: the three-line report on standard error, exit 2.
struct IoFailure {
  std::string header;     // free wording: where it happened
  std::string message;    // what happened
  std::string statement;  // "READ", "WRITE", "OPEN" or "CLOSE"
  std::string unit;       // stream number, or "INTERNAL"

  std::string report() const {
    return header + '\n' + message + "\n? " + statement + "(UNIT=" + unit + ",...\n";
  }
};

// A marker or name in double quotes, for the first line of a report: the
// quotes show its leading blank.
inline std::string quoted(std::string_view text) {
  std::string q(1, '"');
  q.append(text).push_back('"');
  return q;
}

namespace msg {
inline constexpr const char* end_of_file = "Attempt to read past end of file";
inline constexpr const char* illegal_character = "Illegal character in numeric input";
inline constexpr const char* end_of_record = "Attempt to read past end of record";
inline constexpr const char* integer_overflow = "Integer overflow in numeric input";
}  // namespace msg

}  // namespace sfconv
