// Text input streams: a file read as a sequence of text records, fast enough
// for listings of hundreds of megabytes and bounded in memory on any input.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

#include "textio/record_source.hpp"

namespace sfconv {

// A text file read record by record. A line feed ends a record; carriage
// returns are dropped; a tab becomes blanks up to the next stop of 8 columns;
// bytes after the last line feed form no record.
//
// Of each record the first kKeep columns are kept, more than any reader looks
// at; the rest is counted and passed over without being stored (cut() tells),
// so a line of gigabytes costs no memory.
class TextInput final : public RecordSource {
 public:
  static constexpr std::size_t kKeep = 4096;

  // Opens an existing file; a failure is the OPEN report for `unit`.
  TextInput(std::string_view name, int unit);
  // Reads an already open stream (a file in memory, say), which it then owns.
  TextInput(std::FILE* stream, std::string_view name, int unit);
  ~TextInput();
  TextInput(const TextInput&) = delete;
  TextInput& operator=(const TextInput&) = delete;

  // The next record (its first kKeep columns), valid until the next call;
  // false at end of file.
  bool next(std::string_view& record) override;
  // The next record; the end of the file is the end-of-file report.
  std::string_view next_required();
  // True when the last record had more than kKeep columns.
  bool cut() const { return cut_; }

  // Where the next record begins, and going back there: seek(offset(), line())
  // resumes reading exactly there, with the same line numbers.
  std::uint64_t offset() const { return record_start_; }
  void seek(std::uint64_t offset, long line);
  // Back to the first record.
  void rewind() { seek(0, 0); }
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
  std::size_t find(char c, std::size_t from) const;
  void start_fixed();
  void append_fixed(std::string_view raw);
  std::string_view fixed() const { return {fixed_.get(), fixed_len_}; }

  std::FILE* file_ = nullptr;
  std::string name_;
  int unit_;
  std::size_t size_;  // of the buffer
  std::unique_ptr<char[]> buf_;
  std::uint64_t base_ = 0;          // file offset of buf_[0]
  std::uint64_t record_start_ = 0;  // file offset of the next record
  std::size_t beg_ = 0, end_ = 0;
  // Where the next carriage return and the next tab at or after beg_ stand
  // (end_ when there is none): lines before both need no fixing, and most
  // files have neither.
  std::size_t next_cr_ = 0, next_tab_ = 0;
  bool at_eof_ = false;
  // A record being gathered across refills of the buffer (longer than it).
  bool spilled_ = false;
  // The kept columns of a record with carriage returns or tabs, or of one
  // longer than the buffer.
  std::unique_ptr<char[]> fixed_;
  std::size_t fixed_len_ = 0;
  bool cut_ = false;
  long line_ = 0;
  std::uint64_t trailing_ = 0;  // bytes after the last line feed, at the end
  std::string task_;
};

// The size of the read buffer of text input streams opened from now on
// (256 KiB unless changed): tests and fuzzing make it small so that short
// inputs cross its boundaries.
void set_text_buffer_size(std::size_t bytes);

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
