// Unformatted sequential records, read through the C library's buffered
// stream. The length word is never trusted for allocation: a payload beyond
// what the read needs is skipped, not loaded.
#include "readers/kolmex/record_file.hpp"

#include <bit>

#include "textio/failure.hpp"
#include "textio/files.hpp"

namespace sfconv {

namespace {
std::uint32_t big_endian(const unsigned char* p) {
  return std::uint32_t{p[0]} << 24 | std::uint32_t{p[1]} << 16 | std::uint32_t{p[2]} << 8 |
         std::uint32_t{p[3]};
}

}  // namespace

std::int32_t int_at(std::span<const unsigned char> payload, std::size_t offset) {
  return static_cast<std::int32_t>(big_endian(payload.data() + offset));
}

float real_at(std::span<const unsigned char> payload, std::size_t offset) {
  return std::bit_cast<float>(big_endian(payload.data() + offset));
}

bool RecordFile::take(unsigned char* to, std::size_t n) {
  return std::fread(to, 1, n, file_.get()) == n;
}

bool RecordFile::skip(std::uint64_t n) {
  if (n == 0) return true;
  // Seeking past the end succeeds; the read of the trailing length then fails.
  if (std::fseek(file_.get(), static_cast<long>(n), SEEK_CUR) == 0) return true;
  unsigned char sink[4096];
  while (n > 0) {
    std::size_t chunk = n < sizeof sink ? static_cast<std::size_t>(n) : sizeof sink;
    if (!take(sink, chunk)) return false;
    n -= chunk;
  }
  return true;
}

void RecordFile::read(std::span<unsigned char> items, std::string_view what) {
  what_ = what;
  ++records_;
  unsigned char word[4];
  std::size_t got = std::fread(word, 1, 4, file_.get());
  if (got == 0) fail(msg::end_of_file, "ended before");
  if (got < 4) fail(msg::end_of_file, "ended in");
  std::uint32_t length = big_endian(word);
  std::size_t front = length < items.size() ? length : items.size();
  if (!take(items.data(), front)) fail(msg::end_of_file, "ended in");
  if (length < items.size()) {
    fail(msg::end_of_record, cat("has ", length, " bytes where ", items.size(), " are needed in"));
  }
  if (!skip(length - front) || !take(word, 4)) fail(msg::end_of_file, "ended in");
}

void RecordFile::fail(const char* message, const std::string& detail) const {
  std::string header = cat("sfconv: ", name_, " ", detail, " record ", records_);
  if (!what_.empty()) header.append(" (").append(what_).append(")");
  throw IoFailure{header, message, "READ", unit_};
}

}  // namespace sfconv
