// How a run says where and why: the two ways it ends early, thrown wherever the
// condition is met and caught only in main, and the texts their reports are made of.
#pragma once

#include <charconv>
#include <concepts>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "textio/chars.hpp"

namespace sfconv {

// Appends the text of a value: a string, a character or an integer.
inline void cat_to(std::string& out, std::string_view text) {
  out.append(text);
}
inline void cat_to(std::string& out, const char* text) {
  out.append(text);
}
inline void cat_to(std::string& out, char c) {
  out.push_back(c);
}
void cat_to(std::string& out, bool) = delete;
template <std::integral T>
void cat_to(std::string& out, T number) {
  char digits[24];
  out.append(digits, std::to_chars(digits, digits + sizeof digits, number).ptr);
}

// A real as the shortest text that reads back as the same value: "1.5406",
// "90", "-0.5", "1e-45".
inline std::string real_text(float value) {
  char digits[32];
  return std::string(digits, std::to_chars(digits, digits + sizeof digits, value).ptr);
}

// The texts of the values, one after the other: cat("line ", 12, ": ", why).
template <typename... Args>
std::string cat(const Args&... args) {
  std::string out;
  (cat_to(out, args), ...);
  return out;
}

// The items as a list in words: "a", "a and b", "a, b and c".
inline std::string and_list(const std::vector<std::string>& items) {
  std::string text;
  for (std::size_t i = 0; i < items.size(); ++i) {
    text += i == 0 ? "" : i + 1 == items.size() ? " and " : ", ";
    text += items[i];
  }
  return text;
}

// "FILE, line N: ", where a warning or a stop arose.
inline std::string place(std::string_view file, long line) {
  return cat(file, ", line ", line, ": ");
}

// A marker or name in double quotes, for the first line of a report: the
// quotes show its leading blank.
inline std::string quoted(std::string_view text) {
  return cat('"', text, '"');
}

// A line of a file in double quotes, its trailing blanks left out.
inline std::string quote_line(std::string_view text) {
  return quoted(trim_end(text));
}

// A message line as it may reach a terminal: every byte that a terminal could
// take for a control (below 0x20, tab and NUL included, 0x7F, and the C1
// controls U+0080 to U+009F as UTF-8 writes them, C2 80 to C2 9F) is shown as
// \xHH, lower-case hex, so that a file name holding an escape sequence is
// read, not obeyed. Every other byte, and so every other message, is kept.
std::string printable(std::string_view line);

// A bad input that sfconv itself recognises: one line on standard output
// (the message), one on standard error saying where and why ("sfconv:
// params.txt, line 9: ..."), exit 1; and a hint on what to do, when there is
// one, on a line of its own after it ("sfconv: hint: ...").
struct RecognisedStop {
  std::string line;
  std::string where;
  std::string hint = {};  // without "sfconv: hint: "; empty for none
};

// Stops the run with `line`, the message, and "sfconv: " and `where` after it.
template <typename... Where>
[[noreturn]] void stop(std::string line, const Where&... where) {
  throw RecognisedStop{std::move(line), cat("sfconv: ", where...)};
}

// The same for a line of a file: "sfconv: FILE, line N: " and `why`.
template <typename... Why>
[[noreturn]] void stop_at(std::string line, std::string_view file, long at, const Why&... why) {
  stop(std::move(line), place(file, at), why...);
}

// An input/output failure: the three-line report on standard error, exit 2,
// and a hint on what to do, when there is one, on a fourth line.
struct IoFailure {
  // The unit of a text field read or written as a record.
  static constexpr int kInternal = -1;

  std::string header;     // free wording: where it happened
  std::string message;    // what happened
  std::string statement;  // "READ", "WRITE", "OPEN" or "CLOSE"
  int unit = kInternal;   // stream number
  std::string hint = {};  // without "sfconv: hint: "; empty for none

  // The three lines and the hint, header, message and hint made printable.
  std::string report() const {
    std::string text =
        cat(printable(header), '\n', printable(message), "\n? ", statement, "(UNIT=");
    if (unit == kInternal) {
      text.append("INTERNAL");
    } else {
      cat_to(text, unit);
    }
    text.append(",...\n");
    if (!hint.empty()) text += cat(printable(cat("sfconv: hint: ", hint)), '\n');
    return text;
  }
};

// "sfconv: error in FILE, line N" and `more`: the header of a failure at a line.
template <typename... More>
std::string error_in(std::string_view file, long line, const More&... more) {
  return cat("sfconv: error in ", file, ", line ", line, more...);
}

namespace msg {
inline constexpr const char* end_of_file = "Attempt to read past end of file";
inline constexpr const char* illegal_character = "Illegal character in numeric input";
inline constexpr const char* end_of_record = "Attempt to read past end of record";
inline constexpr const char* integer_overflow = "Integer overflow in numeric input";
inline constexpr const char* lengths_differ = "Record lengths do not match";
}  // namespace msg

}  // namespace sfconv
