// Unformatted sequential records, read through the C library's buffered
// stream. The length word is never trusted for allocation: a payload beyond
// what the read needs is skipped, not loaded.
#include "readers/kolmex/record_file.hpp"

#include <bit>
#include <cstring>

#include "textio/failure.hpp"
#include "textio/files.hpp"

namespace sfconv {

namespace {
std::uint32_t big_endian(const unsigned char* p) {
  return std::uint32_t{p[0]} << 24 | std::uint32_t{p[1]} << 16 | std::uint32_t{p[2]} << 8 |
         std::uint32_t{p[3]};
}

std::uint32_t from_little_endian(const unsigned char* p) {
  return std::uint32_t{p[3]} << 24 | std::uint32_t{p[2]} << 16 | std::uint32_t{p[1]} << 8 |
         std::uint32_t{p[0]};
}

}  // namespace

std::uint32_t RecordFile::word(const unsigned char* p) const {
  return little_ ? from_little_endian(p) : big_endian(p);
}

std::int32_t RecordFile::int_at(std::span<const unsigned char> payload, std::size_t offset) const {
  return static_cast<std::int32_t>(word(payload.data() + offset));
}

float RecordFile::real_at(std::span<const unsigned char> payload, std::size_t offset) const {
  return std::bit_cast<float>(word(payload.data() + offset));
}

// A file written on a little-endian machine has every length and number the
// other way round: the first record's length, read big-endian, then frames
// no record (the same four bytes do not follow its payload), and read
// little-endian it does. Such a file is read little-endian throughout; one
// that frames in neither order is read big-endian and fails as it stands.
void RecordFile::choose_byte_order() {
  chosen_ = true;
  std::FILE* f = file_.get();
  const long start = std::ftell(f);
  if (start < 0) return;  // a pipe: big-endian, as always
  unsigned char lead[4];
  if (std::fread(lead, 1, 4, f) == 4) {
    auto frames = [&](std::uint32_t length) {
      unsigned char trail[4];
      return std::fseek(f, start + 4 + static_cast<long>(length), SEEK_SET) == 0 &&
             std::fread(trail, 1, 4, f) == 4 && std::memcmp(trail, lead, 4) == 0;
    };
    const std::uint32_t be = big_endian(lead);
    const std::uint32_t le = from_little_endian(lead);
    if (!frames(be)) {
      if (frames(le)) {
        little_ = true;
      } else {
        first_length_ = cat("; its first length word reads ", be, " big-endian and ", le,
                            " little-endian, and frames a record in neither byte order");
      }
    }
  }
  std::clearerr(f);
  if (std::fseek(f, start, SEEK_SET) != 0) {
    throw IoFailure{cat("sfconv: ", name_, " cannot be read again from its start"),
                    msg::end_of_file, "READ", unit_};
  }
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
  if (!chosen_) choose_byte_order();
  what_ = what;
  ++records_;
  unsigned char lead[4];
  std::size_t got = std::fread(lead, 1, 4, file_.get());
  if (got == 0) fail(msg::end_of_file, "ended before");
  if (got < 4) fail(msg::end_of_file, "ended in");
  std::uint32_t length = word(lead);
  std::size_t front = length < items.size() ? length : items.size();
  // The whole record is read and its framing checked before its items are
  // taken: a damaged frame is the fault to report, not the items it cuts.
  unsigned char trail[4];
  if (!take(items.data(), front) || !skip(length - front) || !take(trail, 4)) {
    fail(msg::end_of_file, "ended in");
  }
  if (std::memcmp(trail, lead, 4) != 0) {
    fail(msg::lengths_differ,
         cat("has the length ", length, " before the payload and ", word(trail), " after it in"));
  }
  if (length < items.size()) {
    fail(msg::end_of_record, cat("has ", length, " bytes where ", items.size(), " are needed in"));
  }
}

long RecordFile::count_rest(bool& whole) {
  whole = true;
  long n = 0;
  unsigned char lead[4];
  unsigned char trail[4];
  for (std::size_t got; (got = std::fread(lead, 1, 4, file_.get())) > 0; ++n) {
    if (got < 4 || !skip(word(lead)) || !take(trail, 4) || std::memcmp(trail, lead, 4) != 0) {
      whole = false;
      return n + 1;
    }
  }
  return n;
}

void RecordFile::fail(const char* message, const std::string& detail) const {
  std::string header = cat("sfconv: ", name_, " ", detail, " record ", records_);
  if (!what_.empty()) header.append(" (").append(what_).append(")");
  if (records_ == 1) header += first_length_;
  throw IoFailure{header, message, "READ", unit_};
}

}  // namespace sfconv
