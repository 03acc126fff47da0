// Characters and blanks as sfconv reads them: ASCII only, no locale.
#pragma once

#include <string_view>

namespace sfconv {

// A blank inside a numeric field or between free-form values: a space or a tab.
constexpr bool is_blank(char c) {
  return c == ' ' || c == '\t';
}
constexpr bool is_digit(char c) {
  return c >= '0' && c <= '9';
}
constexpr bool is_letter(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}
constexpr char to_lower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}
constexpr char to_upper(char c) {
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

// A lattice letter, the code a structure-factor file writes under VOL.
constexpr bool is_lattice_letter(char c) {
  return std::string_view("PABCFIR").find(c) != std::string_view::npos;
}

// The text without its trailing spaces: a field without its blank padding.
constexpr std::string_view trim_end(std::string_view text) {
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  return text;
}

// The text without its leading spaces: a right-justified number by itself.
constexpr std::string_view trim_start(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  return text;
}

// The text without its leading and trailing spaces.
constexpr std::string_view trim(std::string_view text) {
  return trim_end(trim_start(text));
}

// What follows the first `n` columns of a line (a marker of that length).
constexpr std::string_view rest_of(std::string_view line, std::size_t n) {
  return n < line.size() ? line.substr(n) : std::string_view{};
}

// The first word of a text: from its first character other than a space to
// the next space.
constexpr std::string_view first_word(std::string_view text) {
  text = trim_start(text);
  return text.substr(0, text.find(' '));
}

// Columns first..last of a line (counted from 1), as far as the line goes.
constexpr std::string_view columns(std::string_view line, std::size_t first, std::size_t last) {
  if (line.size() < first) return {};
  return line.substr(first - 1, last - first + 1);
}

}  // namespace sfconv
