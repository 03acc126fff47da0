// The parameter file's line reader: hands over the next significant line,
// skipping blank lines and '#' comments.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "textio/record_source.hpp"
#include "textio/text_field.hpp"
#include "textio/text_input.hpp"

namespace sfconv {

// Reads the next line that is neither blank nor a comment into `buffer`
// (its first n columns), left-adjusted and cut at the first '#'. The end of
// the parameter file is a failure; `what` names the line in that report.
// Returns the length of the line's text before any '#' measured on the whole
// record, which is more than n when the buffer holds only its start. With
// `beyond`, that gets what the cut at column n left out: the record's text
// after column n up to a '#', trailing blanks removed (empty for none).
std::size_t readline(TextInput& parameters, char* buffer, std::size_t n, std::string_view what = {},
                     std::string* beyond = nullptr);

// The same for a file-name line, left-adjusted before it is cut to n columns:
// blanks before a name never push its end out of the buffer, so a name is
// whole whenever its length (the result) is n or less.
std::size_t readline_name(TextInput& parameters, char* buffer, std::size_t n,
                          std::string_view what);

// The same, but false at the end of the parameter file: for looking whether
// any significant line is left.
bool readline_or_end(TextInput& parameters, char* buffer, std::size_t n);

template <std::size_t N>
std::size_t readline(TextInput& parameters, Text<N>& buffer, std::string_view what = {},
                     std::string* beyond = nullptr) {
  return readline(parameters, buffer.data(), N, what, beyond);
}

template <std::size_t N>
std::size_t readline_name(TextInput& parameters, Text<N>& buffer, std::string_view what) {
  return readline_name(parameters, buffer.data(), N, what);
}

}  // namespace sfconv
