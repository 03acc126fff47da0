// Text input streams: a file read as a sequence of text records, fast enough
// for listings of hundreds of megabytes and bounded in memory on any input.
#pragma once

#include <bit>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <initializer_list>
#include <memory>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#include <string>
#include <string_view>

#include "textio/failure.hpp"
#include "textio/files.hpp"
#include "textio/record_source.hpp"

namespace sfconv {

// A text file read record by record. A line feed ends a record; carriage
// returns are dropped; a tab becomes blanks up to the next stop of 8 columns;
// bytes after the last line feed form no record.
//
// Of each record the first kKeep columns are kept, more than any reader looks
// at; the rest is counted and passed over without being stored (cut() tells),
// so a line of gigabytes costs no memory.
class TextInput final : public RecordSource, public InputFile {
 public:
  static constexpr std::size_t kKeep = 4096;

  // Opens an existing file; a failure is the OPEN report for `unit`.
  TextInput(std::string_view name, int unit);
  // Reads an already open stream (a file in memory, say), which it then owns.
  TextInput(std::FILE* stream, std::string_view name, int unit);

  // The next record (its first kKeep columns), valid until the next call;
  // false at end of file.
  bool next(std::string_view& record) override;
  // The next record; the end of the file is the end-of-file report.
  std::string_view next_required() {
    std::string_view record;
    if (!next(record)) fail_end_of_file();
    return record;
  }
  // Reads on to the next record that begins with one of `markers` (as
  // starts_with_marker tells) and returns which one, by its index, the record
  // in `record`; -1 at the end of the file. Records are compared as they
  // come and none is copied: a search may pass over most of a long file.
  int seek_marker(std::string_view& record, std::initializer_list<std::string_view> markers);
  // The same; the end of the file is the end-of-file report.
  int find_marker(std::string_view& record, std::initializer_list<std::string_view> markers) {
    int which = seek_marker(record, markers);
    if (which < 0) fail_end_of_file();
    return which;
  }
  // True when the last record had more than kKeep columns.
  bool cut() const { return cut_; }

  // Where the next record begins, and going back there: seek(offset(), line())
  // resumes reading exactly there, with the same line numbers.
  std::uint64_t offset() const { return record_start_; }
  void seek(std::uint64_t offset, long line);
  // Back to the first record.
  void rewind() { seek(0, 0); }

  // Number of records read so far: the line number of the last one.
  long line() const { return line_; }

  // What the caller is reading or looking for ("looking for the cell"), named
  // in an end-of-file report; empty for none.
  void set_task(std::string_view what) { task_.assign(what); }

  // Reports about the current record (or the end of the file) for this stream.
  [[noreturn]] void fail(const char* message) const override;
  [[noreturn]] void fail_end_of_file() const override;

 private:
  std::size_t find_newline(bool& clean);
  void load_block(std::size_t at);
  bool next_slow(std::string_view& record);
  void allocate();
  bool refill();
  void start_fixed();
  void append_fixed(std::string_view raw);
  std::string_view fixed() const { return {fixed_.get(), fixed_len_}; }

  std::size_t size_ = 0;  // of the buffer
  std::unique_ptr<char[]> buf_;
  std::uint64_t base_ = 0;          // file offset of buf_[0]
  std::uint64_t record_start_ = 0;  // file offset of the next record
  std::size_t beg_ = 0, end_ = 0;
  // The line feeds, and the carriage returns and tabs, of the 64 bytes from
  // nl_base_ (a multiple of 64), one bit each: lines are found a block at a
  // time rather than by a call per line, and a line with neither carriage
  // return nor tab (most lines of most files) needs no fixing.
  //
  // The simpler way was measured and is slower: memchr for each line feed,
  // then memchr for carriage returns and tabs within the line took 7-49 %
  // longer on bench/run.sh's 200 MB listing and output; with the next
  // carriage return and tab sought once per buffer instead, still 7-14 %
  // longer (fewer instructions, but a library call per short line costs more
  // than a 64-byte block does).
  std::uint64_t nl_mask_ = 0;
  std::uint64_t fix_mask_ = 0;
  std::size_t nl_base_ = 0;
  bool nl_valid_ = false;
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

// Most records of a long file come whole from the buffer: a line with no
// carriage return or tab, shorter than the kept columns. They take this path,
// short enough to inline into the readers' scanning loops.
inline bool TextInput::next(std::string_view& record) {
  if (!spilled_) {
    bool clean = false;
    const std::size_t line_end = find_newline(clean);
    if (line_end < end_) {
      const char* start = buf_.get() + beg_;
      const std::size_t length = line_end - beg_;
      if (clean && length <= kKeep) {
        beg_ = line_end + 1;
        ++line_;
        cut_ = false;
        record_start_ = base_ + beg_;
        record = {start, length};
        return true;
      }
    }
  }
  return next_slow(record);
}

// Loads the bits of the 64 bytes from buf_[at] (the buffer has 64 bytes to
// spare beyond its size); none at or beyond end_.
inline void TextInput::load_block(std::size_t at) {
  const char* p = buf_.get() + at;
  std::uint64_t nl = 0;
  std::uint64_t fix = 0;
#if defined(__SSE2__)
  const __m128i lf = _mm_set1_epi8('\n');
  const __m128i cr = _mm_set1_epi8('\r');
  const __m128i tab = _mm_set1_epi8('\t');
  for (int k = 0; k < 4; ++k) {
    __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16 * k));
    auto n = static_cast<std::uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, lf)));
    auto f = static_cast<std::uint32_t>(
        _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(v, cr), _mm_cmpeq_epi8(v, tab))));
    nl |= std::uint64_t{n} << (16 * k);
    fix |= std::uint64_t{f} << (16 * k);
  }
#else
  for (int i = 0; i < 64; ++i) {
    nl |= std::uint64_t{p[i] == '\n'} << i;
    fix |= std::uint64_t{p[i] == '\r' || p[i] == '\t'} << i;
  }
#endif
  if (end_ - at < 64) {
    const std::uint64_t inside = (std::uint64_t{1} << (end_ - at)) - 1;
    nl &= inside;
    fix &= inside;
  }
  nl_base_ = at;
  nl_mask_ = nl;
  fix_mask_ = fix;
}

// Where the first line feed at or after beg_ stands, end_ when there is none;
// `clean` tells whether the bytes from beg_ to it hold no carriage return or
// tab.
inline std::size_t TextInput::find_newline(bool& clean) {
  if (!nl_valid_ || beg_ < nl_base_ || beg_ >= nl_base_ + 64) {
    load_block(beg_ & ~std::size_t{63});
    nl_valid_ = true;
  }
  const std::uint64_t from = ~std::uint64_t{0} << (beg_ - nl_base_);
  std::uint64_t m = nl_mask_ & from;
  std::uint64_t fix = fix_mask_ & from;
  while (m == 0) {
    if (nl_base_ + 64 >= end_) return end_;
    if (fix != 0) {
      // The line needs fixing; only where it ends matters now.
      for (;;) {
        if (nl_base_ + 64 >= end_) return end_;
        load_block(nl_base_ + 64);
        if (nl_mask_ != 0) break;
      }
      clean = false;
      return nl_base_ + static_cast<std::size_t>(std::countr_zero(nl_mask_));
    }
    load_block(nl_base_ + 64);
    m = nl_mask_;
    fix = fix_mask_;
  }
  clean = (fix & ((m & (~m + 1)) - 1)) == 0;  // none below the line feed
  return nl_base_ + static_cast<std::size_t>(std::countr_zero(m));
}

// Where the stream's last record stands, for reading it again by itself:
// failures are the stream's own, at that line.
inline Origin record_origin(const TextInput& in) {
  return Origin{in.name(), in.line(), {}, in.unit()};
}

// Where a line the stream handed over stands once it is copied into a text
// field, for reading values from the field: failures are "INTERNAL" and name
// `what`.
inline Origin line_origin(const TextInput& in, std::string_view what) {
  return Origin{in.name(), in.line(), what};
}

// Fails the stream's current record: "sfconv: error in FILE, line N" and
// `more` on the report's first line, `message` on its second.
template <typename... More>
[[noreturn]] void fail_at(const TextInput& in, std::string message, const More&... more) {
  throw IoFailure{error_in(in.name(), in.line(), more...), std::move(message), "READ", in.unit()};
}

// Whether a line begins with a marker text: the test every search makes on
// every line, so the first two characters decide most lines before the rest
// is compared.
inline bool starts_with_marker(std::string_view line, std::string_view marker) {
  return line.size() >= marker.size() &&
         (marker.size() < 2 || (line[0] == marker[0] && line[1] == marker[1])) &&
         std::memcmp(line.data(), marker.data(), marker.size()) == 0;
}

inline int TextInput::seek_marker(std::string_view& record,
                                  std::initializer_list<std::string_view> markers) {
  while (next(record)) {
    int which = 0;
    for (std::string_view marker : markers) {
      if (starts_with_marker(record, marker)) return which;
      ++which;
    }
  }
  return -1;
}

// The size of the read buffer of text input streams opened from now on
// (256 KiB unless changed): tests and fuzzing make it small so that short
// inputs cross its boundaries.
void set_text_buffer_size(std::size_t bytes);

}  // namespace sfconv
