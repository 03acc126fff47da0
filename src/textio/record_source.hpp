// Where input records come from: a text file, or a text field read as a
// one-record text ("INTERNAL").
#pragma once

#include <string>
#include <string_view>

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

// Where a text field read as a record came from, for the error report.
struct Origin {
  std::string_view file;  // the file the line was read from
  long line = 0;          // its line number there
  std::string_view what;  // what was being read, e.g. "E"; may be empty
};

// A text field read as a record: one record only, reported as "INTERNAL".
class InternalRecord final : public RecordSource {
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

 private:
  std::string_view record_;
  Origin origin_;
  bool used_ = false;
};

}  // namespace sfconv
