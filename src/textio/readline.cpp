// The parameter file's line reader.
#include "textio/readline.hpp"

#include <cstring>
#include <string>

#include "textio/chars.hpp"
#include "textio/failure.hpp"
#include "textio/line_hint.hpp"

namespace sfconv {

namespace {

// The length of a record's significant text, measured on the whole record:
// from its first non-blank character to a '#' or the end, trailing blanks
// removed. A record cut by the stream whose text runs to the cut is longer
// than anything kept.
std::size_t whole_length(std::string_view record, bool cut) {
  std::size_t first = record.find_first_not_of(' ');
  if (first == std::string_view::npos) return 0;
  std::size_t hash = record.find('#', first);
  std::size_t end = hash == std::string_view::npos ? record.size() : hash;
  if (hash == std::string_view::npos && cut) return record.size() + 1;
  return trim_end(record.substr(first, end - first)).size();
}

// The text of `record` after its first n columns, up to a '#', without
// trailing blanks: what the cut left out. Empty when a '#' stood in the first
// n columns, which ended the line there.
std::string_view beyond_column(std::string_view record, std::size_t n) {
  if (record.size() <= n || record.substr(0, n).find('#') != std::string_view::npos) return {};
  std::string_view rest = record.substr(n);
  return trim_end(rest.substr(0, rest.find('#')));
}

// The next significant line into the buffer; false at the end of the file.
// With `adjust_first` the record loses its leading blanks before it is cut to
// n columns, rather than after. With `beyond`, what the cut left out.
bool next_significant(TextInput& parameters, char* buffer, std::size_t n, std::size_t& length,
                      bool adjust_first = false, std::string* beyond = nullptr) {
  for (;;) {
    std::string_view record;
    if (!parameters.next(record)) return false;
    // Windows editors begin a UTF-8 file with a byte-order mark: no part of
    // the first name.
    if (parameters.line() == 1 && record.starts_with("\xEF\xBB\xBF")) record.remove_prefix(3);
    if (adjust_first) record = trim_start(record);
    // The first n columns, blank-padded: the read that "(a)" stands for.
    std::size_t len = record.size() < n ? record.size() : n;
    std::memcpy(buffer, record.data(), len);
    std::memset(buffer + len, ' ', n - len);

    std::size_t first = 0;
    while (first < n && buffer[first] == ' ') ++first;
    if (first == n) continue;  // blank
    if (first > 0) {
      std::memmove(buffer, buffer + first, n - first);
      std::memset(buffer + n - first, ' ', first);
    }
    if (buffer[0] == '#') continue;  // a comment line
    if (void* hash = std::memchr(buffer, '#', n)) {
      std::size_t p = static_cast<char*>(hash) - buffer;
      std::memset(buffer + p, ' ', n - p);
    }
    length = whole_length(record, parameters.cut());
    if (beyond != nullptr) beyond->assign(beyond_column(record, n));
    return true;
  }
}

// The end of the parameter file where a line for `what` was awaited: the
// end-of-file report, with the hint of what the line should hold.
[[noreturn]] void end_of_parameters(TextInput& parameters, std::string_view what) {
  try {
    parameters.fail_end_of_file();
  } catch (IoFailure& failure) {
    failure.hint = PARAMETER_LOG.hint_at_end(parameters.name(), what);
    throw;
  }
}

}  // namespace

std::size_t readline(TextInput& parameters, char* buffer, std::size_t n, std::string_view what,
                     std::string* beyond) {
  parameters.set_task(what.empty() ? std::string("reading the next parameter line")
                                   : cat("reading the ", what, " line"));
  std::size_t length = 0;
  if (!next_significant(parameters, buffer, n, length, false, beyond)) {
    end_of_parameters(parameters, what);
  }
  parameters.set_task({});
  PARAMETER_LOG.note(parameters, what, std::string_view(buffer, n));
  return length;
}

std::size_t readline_name(TextInput& parameters, char* buffer, std::size_t n,
                          std::string_view what) {
  parameters.set_task(cat("reading the ", what, " line"));
  std::size_t length = 0;
  if (!next_significant(parameters, buffer, n, length, true)) end_of_parameters(parameters, what);
  parameters.set_task({});
  PARAMETER_LOG.note(parameters, what, std::string_view(buffer, n));
  return length;
}

bool readline_or_end(TextInput& parameters, char* buffer, std::size_t n) {
  std::size_t length = 0;
  return next_significant(parameters, buffer, n, length);
}

}  // namespace sfconv
