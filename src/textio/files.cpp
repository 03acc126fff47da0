// Files by name.
#include "textio/files.hpp"

#include <cerrno>
#include <cstring>

#include "textio/failure.hpp"

namespace sfconv {

std::string file_name(std::string_view field) {
  while (!field.empty() && field.back() == ' ') field.remove_suffix(1);
  return std::string(field);
}

std::FILE* open_existing(const std::string& name, int unit) {
  std::FILE* f = name.empty() ? nullptr : std::fopen(name.c_str(), "rb");
  if (f == nullptr) {
    const char* why = name.empty() ? "No file name given" : std::strerror(errno);
    throw IoFailure{"sfconv: cannot open \"" + name + "\"", std::string("Cannot open file: ") + why,
                    "OPEN", std::to_string(unit)};
  }
  return f;
}

}  // namespace sfconv
