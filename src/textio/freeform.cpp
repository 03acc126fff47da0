// Free-form value reading.
#include "textio/freeform.hpp"

#include <stdexcept>

#include "textio/chars.hpp"
#include "textio/failure.hpp"
#include "textio/numeric_input.hpp"

namespace sfconv {

namespace {

bool ends_value(char c) {
  return is_blank(c) || c == ',' || c == '/';
}

class Values {
 public:
  explicit Values(RecordSource& source) : source_(source) {
    if (!source_.next(record_)) source_.fail_end_of_file();
  }

  // Moves to the next non-blank character, across record ends.
  char peek_next() {
    for (;;) {
      while (pos_ < record_.size() && is_blank(record_[pos_])) ++pos_;
      if (pos_ < record_.size()) return record_[pos_];
      if (!source_.next(record_)) source_.fail_end_of_file();
      pos_ = 0;
    }
  }
  void take() { ++pos_; }

  std::string_view token() {
    std::size_t start = pos_;
    while (pos_ < record_.size() && !ends_value(record_[pos_])) ++pos_;
    return record_.substr(start, pos_ - start);
  }

  // After a value: blanks, then at most one comma, belong to it.
  void separator() {
    while (pos_ < record_.size() && is_blank(record_[pos_])) ++pos_;
    if (pos_ < record_.size() && record_[pos_] == ',') ++pos_;
  }

  void store(std::string_view value, const InItem& item) {
    NumResult r = NumResult::ok;
    if (item.kind == InItem::integer) {
      r = read_integer(value, *static_cast<std::int32_t*>(item.place));
    } else if (item.kind == InItem::real) {
      r = read_real(value, 0, *static_cast<float*>(item.place));
    } else {
      throw std::invalid_argument("free-form read into a text");
    }
    if (r == NumResult::illegal) source_.fail(msg::illegal_character);
    if (r == NumResult::overflow) source_.fail(msg::integer_overflow);
  }

  RecordSource& source() { return source_; }

  // Whether the rest of the current record holds a further value: anything
  // but blanks, commas and a closing "/".
  bool value_follows() const {
    for (std::size_t i = pos_; i < record_.size(); ++i) {
      char c = record_[i];
      if (c == '/') return false;
      if (!is_blank(c) && c != ',') return true;
    }
    return false;
  }

 private:
  RecordSource& source_;
  std::string_view record_;
  std::size_t pos_ = 0;
};

}  // namespace

bool read_free_items(RecordSource& source, const InItems& items) {
  Values in(source);
  std::string_view repeated;  // the value of r*c while copies are left ("" = null)
  long copies = 0;
  for (const InItem& item : items) {
    if (copies > 0) {
      --copies;
      if (!repeated.empty()) in.store(repeated, item);
      continue;
    }
    char c = in.peek_next();
    if (c == '/') return false;
    if (c == ',') {  // a null value
      in.take();
      continue;
    }
    std::string_view value = in.token();
    in.separator();
    std::size_t star = value.find('*');
    if (star != std::string_view::npos) {
      std::int32_t r = 0;
      if (star == 0 || read_integer(value.substr(0, star), r) != NumResult::ok || r <= 0 ||
          value.substr(0, star).find_first_of("+-") != std::string_view::npos) {
        source.fail(msg::illegal_character);
      }
      repeated = value.substr(star + 1);
      copies = r - 1;
      if (!repeated.empty()) in.store(repeated, item);
      continue;
    }
    in.store(value, item);
  }
  return copies > 0 || in.value_follows();
}

}  // namespace sfconv
