// Unformatted sequential records: each a 32-bit payload length, the payload,
// and the length again; big-endian, or little-endian throughout when the
// file was written on such a machine.
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
  // The framing is checked first: a file that ends before or inside the
  // record is "Attempt to read past end of file", a trailing length other
  // than the leading one "Record lengths do not match"; then a payload
  // shorter than `items` is "Attempt to read past end of record" (a longer
  // one is fine: the rest is skipped). `what` names the record in reports.
  // The first read settles the byte order (little_endian()).
  void read(std::span<unsigned char> items, std::string_view what);

  // Reads on to the end of the file and counts the records left, a record
  // the file ends inside (or whose lengths differ) included, when `whole` is
  // set false. Nothing is stored: any number of records costs no memory.
  long count_rest(bool& whole);

  long records() const { return records_; }
  bool little_endian() const { return little_; }

  // Values inside a payload, back to back, in the file's byte order.
  std::int32_t int_at(std::span<const unsigned char> payload, std::size_t offset) const;
  float real_at(std::span<const unsigned char> payload, std::size_t offset) const;

 private:
  void choose_byte_order();
  std::uint32_t word(const unsigned char* p) const;
  [[noreturn]] void fail(const char* message, const std::string& detail) const;
  bool take(unsigned char* to, std::size_t n);
  bool skip(std::uint64_t n);

  long records_ = 0;  // records read, the current one included
  std::string_view what_;
  bool little_ = false;
  bool chosen_ = false;
  // For a report about record 1 when its length frames it in neither order.
  std::string first_length_;
};

}  // namespace sfconv
