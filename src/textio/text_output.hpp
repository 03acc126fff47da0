// Text output: the structure-factor file, written whole or not at all.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

namespace sfconv {

// A text file written record by record; each record is its characters,
// trailing blanks included, and one line feed.
//
// The file is written under a temporary name beside the final one and renamed
// over it by commit(), so a failed run leaves an earlier file of that name as
// it was and no temporary file behind.
class TextOutput {
 public:
  TextOutput(std::string_view name, int unit);
  // Writes to an already open stream, which it then owns; commit() flushes and
  // closes it (no temporary file, no rename).
  TextOutput(std::FILE* stream, std::string_view name, int unit);
  ~TextOutput();
  TextOutput(const TextOutput&) = delete;
  TextOutput& operator=(const TextOutput&) = delete;

  void write_record(std::string_view record);
  // Flushes, closes and puts the file in place under its name.
  void commit();

  const std::string& name() const { return name_; }
  const std::string& temporary_name() const { return temp_; }

 private:
  void flush();
  [[noreturn]] void fail(const char* statement, const std::string& cause);

  std::string name_;
  std::string temp_;
  int unit_;
  std::FILE* file_ = nullptr;
  std::string buffer_;
  long records_ = 0;
};

}  // namespace sfconv
