// Text output: buffered writing through a temporary file renamed into place.
#include "textio/text_output.hpp"

#include <cerrno>
#include <cstring>
#include <random>

#include "textio/failure.hpp"
#include "textio/files.hpp"

namespace sfconv {

namespace {
constexpr std::size_t kFlushSize = std::size_t{1} << 16;

}  // namespace

TextOutput::TextOutput(std::string_view name, int unit) : name_(file_name(name)), unit_(unit) {
  if (name_.empty()) fail("OPEN", "Cannot create file: no file name given");
  std::random_device random;
  for (int attempt = 0; attempt < 16 && file_ == nullptr; ++attempt) {
    char suffix[24];
    std::snprintf(suffix, sizeof suffix, ".tmp%08x", static_cast<unsigned>(random()));
    temp_ = name_ + suffix;
    file_ = std::fopen(temp_.c_str(), "wbx");  // exclusive: never clobber another file
    if (file_ == nullptr && errno != EEXIST) break;
  }
  if (file_ == nullptr) {
    std::string cause = std::string("Cannot create file: ") + std::strerror(errno);
    temp_.clear();
    fail("OPEN", cause);
  }
  buffer_.reserve(kFlushSize + 512);
}

TextOutput::TextOutput(std::FILE* stream, std::string_view name, int unit)
    : name_(name), unit_(unit), file_(stream) {}

TextOutput::~TextOutput() {
  if (file_ != nullptr) std::fclose(file_);
  if (!temp_.empty()) std::remove(temp_.c_str());
}

void TextOutput::write_record(std::string_view record) {
  buffer_.append(record);
  buffer_.push_back('\n');
  ++records_;
  if (buffer_.size() >= kFlushSize) flush();
}

void TextOutput::flush() {
  if (!buffer_.empty() && std::fwrite(buffer_.data(), 1, buffer_.size(), file_) != buffer_.size()) {
    fail("WRITE", std::string("Cannot write file: ") + std::strerror(errno));
  }
  buffer_.clear();
}

void TextOutput::commit() {
  flush();
  int closed = std::fclose(file_);
  file_ = nullptr;
  if (closed != 0) fail("WRITE", std::string("Cannot write file: ") + std::strerror(errno));
  if (temp_.empty()) return;
  if (std::rename(temp_.c_str(), name_.c_str()) != 0) {
    fail("CLOSE", std::string("Cannot put the file in place: ") + std::strerror(errno));
  }
  temp_.clear();
}

void TextOutput::fail(const char* statement, const std::string& cause) {
  std::string header = "sfconv: cannot write \"" + name_ + "\"";
  if (records_ > 0) header += ", line " + std::to_string(records_);
  throw IoFailure{header, cause, statement, std::to_string(unit_)};
}

}  // namespace sfconv
