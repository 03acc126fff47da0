// Text input streams: a file read as a sequence of text records, fast enough
// for listings of hundreds of megabytes.
#pragma once

#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

#include "textio/record_source.hpp"

namespace sfconv {

// A text file read record by record. A line feed ends a record; carriage
// returns are dropped; a tab becomes blanks up to the next stop of 8 columns;
// bytes after the last line feed form no record. Records have no length limit.
class TextInput final : public RecordSource {
 public:
  // Opens an existing file; a failure is the OPEN report for `unit`.
  TextInput(std::string_view name, int unit);
  // Reads an already open stream (a file in memory, say), which it then owns.
  TextInput(std::FILE* stream, std::string_view name, int unit);
  ~TextInput();
  TextInput(const TextInput&) = delete;
  TextInput& operator=(const TextInput&) = delete;

  // The next record, valid until the next call; false at end of file.
  bool next(std::string_view& record) override;
  // The next record; the end of the file is the end-of-file report.
  std::string_view next_required();
  // Back to the first record.
  void rewind();
  void close();

  // Number of records read so far: the line number of the last one.
  long line() const { return line_; }
  const std::string& name() const { return name_; }
  int unit() const { return unit_; }

  // What the caller is reading or looking for ("looking for the cell"), named
  // in an end-of-file report; empty for none.
  void set_task(std::string_view what) { task_.assign(what); }

  // Reports about the current record (or the end of the file) for this stream.
  [[noreturn]] void fail(const char* message) const override;
  [[noreturn]] void fail_end_of_file() const override;

 private:
  bool refill();
  std::string_view finish(std::string_view raw);
  std::size_t find(char c, std::size_t from) const;

  std::FILE* file_ = nullptr;
  std::string name_;
  int unit_;
  std::unique_ptr<char[]> buf_;
  std::size_t beg_ = 0, end_ = 0;
  // Where the next carriage return and the next tab at or after beg_ stand
  // (end_ when there is none): lines before both need no fixing, and most
  // files have neither.
  std::size_t next_cr_ = 0, next_tab_ = 0;
  bool at_eof_ = false;
  bool long_in_use_ = false;
  std::string long_;   // a record longer than the buffer, gathered piece by piece
  std::string fixed_;  // a record with carriage returns dropped and tabs expanded
  long line_ = 0;
  std::string task_;
};

// One record of a text input stream read by itself, as a one-record text: a
// read that needs more values than the record holds meets the end of the file.
// Failures are reported for the stream, at the line of the record.
class RecordOf final : public RecordSource {
 public:
  RecordOf(const TextInput& stream, std::string_view record) : stream_(stream), record_(record) {}

  bool next(std::string_view& record) override {
    if (used_) return false;
    used_ = true;
    record = record_;
    return true;
  }
  [[noreturn]] void fail(const char* message) const override { stream_.fail(message); }
  [[noreturn]] void fail_end_of_file() const override;

 private:
  const TextInput& stream_;
  std::string_view record_;
  bool used_ = false;
};

}  // namespace sfconv
