// Where input records come from: a text file, or one record read by itself
// (a line copied into a text field, "INTERNAL").
#pragma once

#include <string>
#include <string_view>

#include "textio/failure.hpp"

namespace sfconv {

class RecordSource {
 public:
  // The next record, valid until the next call; false at end of file.
  virtual bool next(std::string_view& record) = 0;
  // Input/output failures about the current record.
  [[noreturn]] virtual void fail(const char* message) const = 0;
  [[noreturn]] virtual void fail_end_of_file() const = 0;

 protected:
  ~RecordSource() = default;
};

// Where a record read by itself came from, for the error report.
struct Origin {
  std::string_view file;  // the file the line was read from
  long line = 0;          // its line number there
  std::string_view what;  // what was being read, e.g. "E"; may be empty
  // A line copied into a text field is "INTERNAL"; a stream's record read
  // again by itself is reported for the stream, with its unit.
  int unit = IoFailure::kInternal;
};

// One record read by itself as a one-record text: a read that needs more
// values than it holds meets the end of the file.
class InternalRecord : public RecordSource {
 public:
  InternalRecord(std::string_view record, const Origin& origin)
      : record_(record), origin_(origin) {}

  bool next(std::string_view& record) override {
    if (used_) return false;
    used_ = true;
    record = record_;
    return true;
  }
  [[noreturn]] void fail(const char* message) const override;
  [[noreturn]] void fail_end_of_file() const override;

 protected:
  const Origin& origin() const { return origin_; }

 private:
  std::string_view record_;
  Origin origin_;
  bool used_ = false;
};

}  // namespace sfconv
