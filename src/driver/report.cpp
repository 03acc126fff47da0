// The run's report.
#include "driver/report.hpp"

#include "textio/edit.hpp"
#include "textio/failure.hpp"

namespace sfconv {

RunReport REPORT;

std::string angle_text(float degrees) {
  std::string text = format_line("(F7.2)"_fmt, degrees);
  std::size_t first = text.find_first_not_of(' ');
  return first == std::string::npos ? text : text.substr(first);
}

}  // namespace sfconv
