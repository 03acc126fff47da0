// Unformatted sequential records: each a big-endian 32-bit payload length, the
// payload, and the length again.
#pragma once

#include <cstdint>
#include <cstdio>
#include <span>
#include <string>
#include <string_view>

#include "textio/files.hpp"

namespace sfconv {

class RecordFile : public InputFile {
 public:
  // By name (a failure is the OPEN report for `unit`), or an open stream.
  using InputFile::InputFile;

  // Reads one whole record and copies the front of its payload into `items`.
  // A longer payload is fine (the rest is skipped); a shorter one is "Attempt
  // to read past end of record"; a file that ends before or inside the record
  // is "Attempt to read past end of file". `what` names the record in reports.
  void read(std::span<unsigned char> items, std::string_view what);

  long records() const { return records_; }

 private:
  [[noreturn]] void fail(const char* message, const std::string& detail) const;
  bool take(unsigned char* to, std::size_t n);
  bool skip(std::uint64_t n);

  long records_ = 0;  // records read, the current one included
  std::string_view what_;
};

// Values inside a payload: big-endian, back to back.
std::int32_t int_at(std::span<const unsigned char> payload, std::size_t offset);
float real_at(std::span<const unsigned char> payload, std::size_t offset);

}  // namespace sfconv
