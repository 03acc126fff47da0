// Text input streams: buffered reading of text records, each kept to its
// first columns.
#include "textio/text_input.hpp"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>

#include "textio/failure.hpp"
#include "textio/files.hpp"

namespace sfconv {

namespace {
std::size_t buffer_size = std::size_t{1} << 18;
}  // namespace

void set_text_buffer_size(std::size_t bytes) {
  buffer_size = bytes < 16 ? 16 : bytes;
}

TextInput::TextInput(std::string_view name, int unit)
    : InputFile(name, unit), fixed_(new char[kKeep]) {
  allocate();
}

TextInput::TextInput(std::FILE* stream, std::string_view name, int unit)
    : InputFile(stream, name, unit), fixed_(new char[kKeep]) {
  allocate();
}

// The buffer, with 64 bytes beyond it that the search for line feeds may load
// (and then masks off). A small file gets a buffer of its size: a small
// conversion is mostly process start, and every page touched costs.
void TextInput::allocate() {
  size_ = buffer_size;
  struct stat st {};
  if (fstat(fileno(file_.get()), &st) == 0 && S_ISREG(st.st_mode) && st.st_size >= 0 &&
      static_cast<std::uint64_t>(st.st_size) < size_) {
    size_ = static_cast<std::size_t>(st.st_size) + 16;
  }
  // The file is read once, front to back: let the kernel read ahead.
  posix_fadvise(fileno(file_.get()), 0, 0, POSIX_FADV_SEQUENTIAL);
  buf_.reset(new char[size_ + 64]);
  std::memset(buf_.get() + size_, 0, 64);
}

bool TextInput::refill() {
  if (at_eof_ || file_ == nullptr) return false;
  if (beg_ > 0) {  // keep the start of the record in progress
    std::memmove(buf_.get(), buf_.get() + beg_, end_ - beg_);
    base_ += beg_;
    end_ -= beg_;
    beg_ = 0;
  }
  if (end_ == size_) {  // a record longer than the buffer: keep its first columns
    if (!spilled_) {
      start_fixed();
      spilled_ = true;
    }
    append_fixed({buf_.get(), end_});
    base_ += end_;
    end_ = 0;
  }
  std::size_t got = std::fread(buf_.get() + end_, 1, size_ - end_, file_.get());
  end_ += got;
  nl_valid_ = false;
  if (got == 0) {
    if (std::ferror(file_.get())) {
      // The line that was being read.
      throw IoFailure{error_in(name_, line_ + 1), cat("Cannot read file: ", std::strerror(errno)),
                      "READ", unit_};
    }
    at_eof_ = true;
    return false;
  }
  return true;
}

void TextInput::start_fixed() {
  fixed_len_ = 0;
  cut_ = false;
}

// Appends a piece of a record to the kept columns: carriage returns dropped,
// tabs expanded, and nothing stored beyond kKeep columns.
void TextInput::append_fixed(std::string_view raw) {
  char* out = fixed_.get();
  std::size_t n = fixed_len_;
  std::size_t i = 0;
  for (; i < raw.size() && n < kKeep; ++i) {
    char ch = raw[i];
    if (ch == '\r') continue;
    if (ch == '\t') {
      std::size_t stop = n + 8 - n % 8;  // within kKeep, a multiple of 8
      std::memset(out + n, ' ', stop - n);
      n = stop;
    } else {
      out[n++] = ch;
    }
  }
  fixed_len_ = n;
  for (; !cut_ && i < raw.size(); ++i) {
    if (raw[i] != '\r') cut_ = true;
  }
}

bool TextInput::next_slow(std::string_view& record) {
  static_assert(kKeep % 8 == 0, "tab stops must not cross the kept columns");
  for (;;) {
    const char* start = buf_.get() + beg_;
    bool clean = false;
    const std::size_t nl = find_newline(clean);
    if (nl < end_) {
      std::string_view raw(start, nl - beg_);
      const std::size_t line_end = beg_ + raw.size();
      beg_ = line_end + 1;
      ++line_;
      if (spilled_) {
        append_fixed(raw);
        spilled_ = false;
        record = fixed();
      } else if (clean) {
        // No carriage return or tab in it: the record as it stands.
        cut_ = raw.size() > kKeep;
        record = cut_ ? raw.substr(0, kKeep) : raw;
      } else {
        start_fixed();
        append_fixed(raw);
        record = fixed();
      }
      record_start_ = base_ + beg_;
      return true;
    }
    if (!refill()) {
      // Bytes after the last line feed are no record.
      base_ += end_;
      if (base_ > record_start_) trailing_ = base_ - record_start_;
      beg_ = end_ = 0;
      spilled_ = false;
      return false;
    }
  }
}

void TextInput::seek(std::uint64_t offset, long line) {
  if (file_ == nullptr || fseeko(file_.get(), static_cast<off_t>(offset), SEEK_SET) != 0) {
    // A pipe or FIFO is read once; the readers that go back need a file.
    const bool pipe = file_ != nullptr && errno == ESPIPE;
    throw IoFailure{
        cat("sfconv: cannot rewind ", name_,
            pipe ? ", a pipe or FIFO: sfconv reads it twice, so it must be a file" : ""),
        "Cannot rewind the file", "READ", unit_};
  }
  std::clearerr(file_.get());
  base_ = offset;
  beg_ = end_ = 0;
  nl_valid_ = false;
  at_eof_ = false;
  spilled_ = false;
  line_ = line;
  record_start_ = offset;
  trailing_ = 0;
}

void TextInput::fail(const char* message) const {
  fail_at(*this, message);
}

void TextInput::fail_end_of_file() const {
  std::string header;
  if (line_ == 0 && trailing_ == 0) {
    header = cat("sfconv: ", name_, " is empty");
  } else if (line_ == 0) {
    header = cat("sfconv: ", name_, " holds no line feed: its ", trailing_,
                 " bytes are no complete line");
  } else {
    header = cat("sfconv: ", name_, " ended (line ", line_, ")");
  }
  if (!task_.empty()) header.append(" while ").append(task_);
  throw IoFailure{header, msg::end_of_file, "READ", unit_};
}

}  // namespace sfconv
