// Text input streams: buffered reading of text records.
#include "textio/text_input.hpp"

#include <cerrno>
#include <cstring>

#include "textio/failure.hpp"
#include "textio/files.hpp"

namespace sfconv {

namespace {
constexpr std::size_t kBufferSize = std::size_t{1} << 18;
}  // namespace

TextInput::TextInput(std::string_view name, int unit)
    : name_(file_name(name)), unit_(unit), buf_(new char[kBufferSize]) {
  file_ = open_existing(name_, unit);
}

TextInput::TextInput(std::FILE* stream, std::string_view name, int unit)
    : file_(stream), name_(name), unit_(unit), buf_(new char[kBufferSize]) {}

TextInput::~TextInput() {
  close();
}

void TextInput::close() {
  if (file_ != nullptr) std::fclose(file_);
  file_ = nullptr;
}

bool TextInput::refill() {
  if (at_eof_ || file_ == nullptr) return false;
  if (beg_ > 0) {
    std::memmove(buf_.get(), buf_.get() + beg_, end_ - beg_);
    end_ -= beg_;
    beg_ = 0;
  }
  if (end_ == kBufferSize) {  // a record longer than the buffer
    long_.append(buf_.get(), end_);
    long_in_use_ = true;
    end_ = 0;
  }
  std::size_t got = std::fread(buf_.get() + end_, 1, kBufferSize - end_, file_);
  end_ += got;
  next_cr_ = find('\r', beg_);
  next_tab_ = find('\t', beg_);
  if (got == 0) {
    if (std::ferror(file_)) {
      throw IoFailure{"sfconv: error in " + name_ + ", line " + std::to_string(line_ + 1),
                      std::string("Cannot read file: ") + std::strerror(errno), "READ",
                      std::to_string(unit_)};
    }
    at_eof_ = true;
    return false;
  }
  return true;
}

std::size_t TextInput::find(char c, std::size_t from) const {
  const void* at = std::memchr(buf_.get() + from, c, end_ - from);
  return at == nullptr ? end_ : static_cast<const char*>(at) - buf_.get();
}

bool TextInput::next(std::string_view& record) {
  if (long_in_use_) {
    long_.clear();
    long_in_use_ = false;
  }
  for (;;) {
    const char* start = buf_.get() + beg_;
    const void* nl = std::memchr(start, '\n', end_ - beg_);
    if (nl != nullptr) {
      std::string_view raw(start, static_cast<const char*>(nl) - start);
      const std::size_t line_end = beg_ + raw.size();
      beg_ = line_end + 1;
      ++line_;
      if (long_in_use_) {
        long_.append(raw);
        record = finish(long_);
      } else if (next_cr_ >= line_end && next_tab_ >= line_end) {
        record = raw;  // no carriage return or tab in it
      } else {
        record = finish(raw);
      }
      if (next_cr_ < beg_) next_cr_ = find('\r', beg_);
      if (next_tab_ < beg_) next_tab_ = find('\t', beg_);
      return true;
    }
    if (!refill()) {
      // Bytes after the last line feed are no record.
      beg_ = end_ = 0;
      long_.clear();
      long_in_use_ = false;
      return false;
    }
  }
}

std::string_view TextInput::finish(std::string_view raw) {
  if (std::memchr(raw.data(), '\r', raw.size()) == nullptr &&
      std::memchr(raw.data(), '\t', raw.size()) == nullptr) {
    return raw;
  }
  fixed_.clear();
  for (char ch : raw) {
    if (ch == '\r') continue;
    if (ch == '\t') {
      fixed_.append(8 - fixed_.size() % 8, ' ');
    } else {
      fixed_.push_back(ch);
    }
  }
  return fixed_;
}

std::string_view TextInput::next_required() {
  std::string_view record;
  if (!next(record)) fail_end_of_file();
  return record;
}

void TextInput::rewind() {
  if (file_ == nullptr || std::fseek(file_, 0, SEEK_SET) != 0) {
    throw IoFailure{"sfconv: cannot rewind " + name_, "Cannot rewind the file", "READ",
                    std::to_string(unit_)};
  }
  std::clearerr(file_);
  beg_ = end_ = 0;
  at_eof_ = false;
  long_.clear();
  long_in_use_ = false;
  line_ = 0;
}

void TextInput::fail(const char* message) const {
  throw IoFailure{"sfconv: error in " + name_ + ", line " + std::to_string(line_), message, "READ",
                  std::to_string(unit_)};
}

void TextInput::fail_end_of_file() const {
  std::string header = line_ == 0
                           ? "sfconv: " + name_ + " is empty"
                           : "sfconv: " + name_ + " ended (line " + std::to_string(line_) + ")";
  if (!task_.empty()) header.append(" while ").append(task_);
  throw IoFailure{header, msg::end_of_file, "READ", std::to_string(unit_)};
}

void RecordOf::fail_end_of_file() const {
  stream_.fail(msg::end_of_file);
}

}  // namespace sfconv
