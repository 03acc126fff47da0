// Files by name.
#include "textio/files.hpp"

#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "textio/chars.hpp"
#include "textio/failure.hpp"

namespace sfconv {

std::string file_name(std::string_view field) {
  return std::string(trim_end(field));
}

std::string where_names_are_taken(std::string_view name) {
  if (name.starts_with('/')) return {};
  std::string text = " (names are taken relative to the directory sfconv runs in";
  char directory[PATH_MAX];
  if (getcwd(directory, sizeof directory) != nullptr) text += cat(", ", directory);
  return text + ")";
}

FilePtr open_existing(const std::string& name, int unit) {
  // `where` for a name the system refused: it may be a name of another directory.
  auto refuse = [&](const std::string& why, bool where = false) {
    throw IoFailure{cat("sfconv: cannot open ", quoted(name),
                        where ? where_names_are_taken(name) : std::string()),
                    cat("Cannot open file: ", why), "OPEN", unit};
  };
  if (name.empty()) refuse("No file name given");
  // The C library would open the name up to the NUL: another file.
  if (name.find('\0') != std::string::npos) refuse("the name holds a NUL byte");
  FilePtr f(std::fopen(name.c_str(), "rb"));
  if (f == nullptr) refuse(std::strerror(errno), errno != ENAMETOOLONG);
  // A directory has no records, and a device such as /dev/zero may never end.
  struct stat st {};
  if (fstat(fileno(f.get()), &st) == 0 &&
      (S_ISDIR(st.st_mode) || S_ISCHR(st.st_mode) || S_ISBLK(st.st_mode))) {
    refuse(S_ISDIR(st.st_mode) ? std::strerror(EISDIR) : "a device, not a file", true);
  }
  return f;
}

}  // namespace sfconv
