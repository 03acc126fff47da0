// Files by name.
#include "textio/files.hpp"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>

#include "textio/chars.hpp"
#include "textio/failure.hpp"

namespace sfconv {

std::string file_name(std::string_view field) {
  return std::string(trim_end(field));
}

FilePtr open_existing(const std::string& name, int unit) {
  auto refuse = [&](const std::string& why) {
    throw IoFailure{cat("sfconv: cannot open ", quoted(name)), cat("Cannot open file: ", why),
                    "OPEN", unit};
  };
  if (name.empty()) refuse("No file name given");
  // The C library would open the name up to the NUL: another file.
  if (name.find('\0') != std::string::npos) refuse("the name holds a NUL byte");
  FilePtr f(std::fopen(name.c_str(), "rb"));
  if (f == nullptr) refuse(std::strerror(errno));
  // A directory has no records, and a device such as /dev/zero may never end.
  struct stat st {};
  if (fstat(fileno(f.get()), &st) == 0 &&
      (S_ISDIR(st.st_mode) || S_ISCHR(st.st_mode) || S_ISBLK(st.st_mode))) {
    refuse(S_ISDIR(st.st_mode) ? std::strerror(EISDIR) : "a device, not a file");
  }
  return f;
}

}  // namespace sfconv
