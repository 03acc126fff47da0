// The run's report, and messages made safe for a terminal.
#include "textio/report.hpp"

namespace sfconv {

RunReport REPORT;

std::string printable(std::string_view line) {
  std::string out;
  out.reserve(line.size());
  auto hex = [&out](unsigned char c) {
    const char* digits = "0123456789abcdef";
    out += "\\x";
    out += digits[c >> 4];
    out += digits[c & 15];
  };
  for (std::size_t i = 0; i < line.size(); ++i) {
    const auto c = static_cast<unsigned char>(line[i]);
    if (c < 0x20 || c == 0x7F) {
      hex(c);
    } else if (c == 0xC2 && i + 1 < line.size() &&
               static_cast<unsigned char>(line[i + 1]) >= 0x80 &&
               static_cast<unsigned char>(line[i + 1]) <= 0x9F) {
      hex(c);
      hex(static_cast<unsigned char>(line[++i]));
    } else {
      out.push_back(static_cast<char>(c));
    }
  }
  return out;
}

}  // namespace sfconv
