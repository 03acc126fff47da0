// Files by name: the name a text field holds, and opening an existing file.
#pragma once

#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

namespace sfconv {

// The file name a text field holds: the field without its trailing blanks.
std::string file_name(std::string_view field);

// For the report of a file that cannot be opened: with a relative name,
// " (names are taken relative to the directory sfconv runs in, DIR)"; with an
// absolute one, nothing. A user who runs sfconv from another directory than the
// parameter file's learns why a file that is there is not found.
std::string where_names_are_taken(std::string_view name);

// An open C stream, closed when its owner goes.
struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

// Opens an existing file for reading; a failure is the OPEN report for `unit`.
// Directories and devices are refused: they hold no refinement result.
FilePtr open_existing(const std::string& name, int unit);

// What the input stream classes share: the file they read, and the name and
// unit their reports give.
class InputFile {
 public:
  // The file a text field names (trailing blanks are no part of the name),
  // opened with open_existing.
  InputFile(std::string_view field, int unit)
      : name_(file_name(field)), unit_(unit), file_(open_existing(name_, unit)) {}
  // An already open stream (a file in memory, say), which it then owns.
  InputFile(std::FILE* stream, std::string_view name, int unit)
      : name_(name), unit_(unit), file_(stream) {}

  const std::string& name() const { return name_; }
  int unit() const { return unit_; }

 protected:
  std::string name_;
  int unit_;
  FilePtr file_;
};

}  // namespace sfconv
