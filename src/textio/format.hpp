// Format texts such as "(12X,3I4,39X,F11.1)": parsed once into a small program
// of edit descriptors, then walked by a FormatControl for each statement.
//
// Elements: A, Aw, Iw, Fw.d, Ew.d, Gw.d (data edits, each with an optional
// repeat count), kP, nX, "/", and repeated groups r(...), nested at most 20
// deep. Blanks are ignored and letters may be of either case.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string_view>

#include "textio/chars.hpp"

namespace sfconv {

enum class EditKind : std::uint8_t { A, I, F, E, G, X, P, Slash, Open, Close };

struct Edit {
  EditKind kind;
  std::int16_t repeat = 1;  // data edits, "/" and groups; X: columns moved
  std::int16_t w = 0;       // field width; A without width: 0
  std::int16_t d = 0;       // digits after the point
  std::int16_t k = 0;       // P: scale factor
  std::int16_t other = 0;   // Open: index of its Close; Close: index of its Open
};

inline constexpr int kMaxEdits = 48;
inline constexpr int kMaxNesting = 20;

struct Format {
  std::array<Edit, kMaxEdits> edit{};
  int count = 0;
  int reversion = 0;  // where reversion restarts: last top-level group, or 0
  bool has_data = false;

  // Parses a format text; throws std::invalid_argument on a malformed one.
  // Usable at compile time, where a malformed text is a compile error.
  static constexpr Format parse(std::string_view text);
};

namespace detail {

constexpr char upper(char c) {
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c;
}

class FormatParser {
 public:
  constexpr explicit FormatParser(std::string_view text) : text_(text) {}

  constexpr Format run() {
    skip_blanks();
    expect('(');
    list(0);
    expect(')');
    skip_blanks();
    if (pos_ != text_.size()) bad("text after the closing parenthesis");
    return f_;
  }

 private:
  constexpr void list(int depth) {
    skip_blanks();
    if (peek() == ')') return;
    for (;;) {
      element(depth);
      skip_blanks();
      char c = peek();
      if (c == ',') {
        ++pos_;
      } else if (c == ')') {
        return;
      } else if (!(c == '/' || (last_was_slash_or_p_ && c != '\0'))) {
        bad("expected ',' or ')'");
      }
      skip_blanks();
      if (peek() == ')') return;  // a trailing "/" before ")"
    }
  }

  constexpr void element(int depth) {
    skip_blanks();
    last_was_slash_or_p_ = false;
    bool negative = false;
    if (peek() == '-' || peek() == '+') {
      negative = peek() == '-';
      ++pos_;
    }
    int n = -1;
    if (is_digit(peek())) n = number();
    char c = upper(peek());
    if (negative && c != 'P') bad("a sign is allowed only before P");
    switch (c) {
      case '(': {
        if (depth + 1 > kMaxNesting) bad("groups nested too deep");
        ++pos_;
        int open = add(Edit{EditKind::Open, count_of(n), 0, 0, 0, 0});
        list(depth + 1);
        expect(')');
        int close = add(Edit{EditKind::Close, 1, 0, 0, 0, static_cast<std::int16_t>(open)});
        f_.edit[open].other = static_cast<std::int16_t>(close);
        if (depth == 0) f_.reversion = open;
        return;
      }
      case '/':
        ++pos_;
        add(Edit{EditKind::Slash, count_of(n), 0, 0, 0, 0});
        last_was_slash_or_p_ = true;
        return;
      case 'X':
        ++pos_;
        add(Edit{EditKind::X, count_of(n), 0, 0, 0, 0});
        return;
      case 'P':
        if (n < 0) bad("P needs a scale factor");
        ++pos_;
        add(Edit{EditKind::P, 1, 0, 0, static_cast<std::int16_t>(negative ? -n : n), 0});
        last_was_slash_or_p_ = true;
        return;
      case 'A': {
        ++pos_;
        skip_blanks();
        int w = is_digit(peek()) ? positive() : 0;
        add(Edit{EditKind::A, count_of(n), static_cast<std::int16_t>(w), 0, 0, 0});
        f_.has_data = true;
        return;
      }
      case 'I': {
        ++pos_;
        int w = positive();
        add(Edit{EditKind::I, count_of(n), static_cast<std::int16_t>(w), 0, 0, 0});
        f_.has_data = true;
        return;
      }
      case 'F':
      case 'E':
      case 'G': {
        ++pos_;
        int w = positive();
        expect('.');
        skip_blanks();
        if (!is_digit(peek())) bad("expected the number of digits");
        int d = number();
        EditKind kind = c == 'F' ? EditKind::F : c == 'E' ? EditKind::E : EditKind::G;
        add(Edit{kind, count_of(n), static_cast<std::int16_t>(w), static_cast<std::int16_t>(d), 0,
                 0});
        f_.has_data = true;
        return;
      }
      default:
        bad("unknown edit descriptor");
    }
  }

  constexpr std::int16_t count_of(int n) {
    if (n == 0) bad("a repeat count must be positive");
    return static_cast<std::int16_t>(n < 0 ? 1 : n);
  }
  constexpr int positive() {
    skip_blanks();
    if (!is_digit(peek())) bad("expected a field width");
    int n = number();
    if (n == 0) bad("a field width must be positive");
    return n;
  }
  constexpr int number() {
    int n = 0;
    while (is_digit(peek())) {
      n = n * 10 + (peek() - '0');
      if (n > 999) bad("number too large");
      ++pos_;
      skip_blanks();
    }
    return n;
  }
  constexpr int add(Edit e) {
    if (f_.count == kMaxEdits) bad("format text too long");
    f_.edit[f_.count] = e;
    return f_.count++;
  }
  constexpr void skip_blanks() {
    while (pos_ < text_.size() && text_[pos_] == ' ') ++pos_;
  }
  constexpr char peek() {
    skip_blanks();
    return pos_ < text_.size() ? text_[pos_] : '\0';
  }
  constexpr void expect(char c) {
    if (peek() != c) bad("unexpected character");
    ++pos_;
  }
  // Throws; at compile time that makes a malformed literal a compile error.
  constexpr void bad(const char* why) {
    if (why != nullptr) throw std::invalid_argument(why);
  }

  std::string_view text_;
  std::size_t pos_ = 0;
  bool last_was_slash_or_p_ = false;
  Format f_{};
};

// A format text as a template argument, so that each literal is parsed once.
template <std::size_t N>
struct FormatLiteral {
  char text[N];
  constexpr FormatLiteral(const char (&s)[N]) {  // NOLINT: implicit by design
    for (std::size_t i = 0; i < N; ++i) text[i] = s[i];
  }
};

template <FormatLiteral L>
inline constexpr Format compiled = FormatParser(std::string_view(L.text, sizeof L.text - 1)).run();

}  // namespace detail

constexpr Format Format::parse(std::string_view text) {
  return detail::FormatParser(text).run();
}

// "(12X,3I4)"_fmt is the format prepared at compile time, once per literal.
template <detail::FormatLiteral L>
constexpr const Format& operator""_fmt() {
  return detail::compiled<L>;
}

// What a FormatControl hands out next.
struct DataEdit {
  EditKind kind;  // A, I, F, E or G
  int w, d;
  int scale;
};

// Walks a prepared format for one statement: hands out one data edit per item
// and carries out X, P, "/" and format reversion itself through the Io calls.
//   io.skip(n)        move n columns to the right
//   io.end_record()   "/" or reversion: end this record, go on with the next
template <typename Io>
class FormatControl {
 public:
  FormatControl(const Format& f, Io& io) : f_(f), io_(io) {}

  // The edit for the next item. Never returns when the format has no data edit.
  DataEdit next() {
    for (;;) {
      if (rep_left_ > 0) {
        --rep_left_;
        const Edit& e = f_.edit[pc_];
        if (rep_left_ == 0) ++pc_;
        return DataEdit{e.kind, e.w, e.d, scale_};
      }
      if (!step(true)) {
        // Reversion: the record ends and the format starts again at its last
        // top-level group, with that group's full repeat count.
        io_.end_record();
        pc_ = f_.reversion;
        depth_ = 0;
        if (!f_.has_data) throw std::invalid_argument("format has no data edit descriptor");
      }
    }
  }

  // Items used up: carry out the X, P and "/" that stand before the next data
  // edit or the closing parenthesis.
  void finish() {
    if (rep_left_ > 0) return;
    while (step(false)) {
    }
  }

 private:
  // Carries out one control element; false at the final parenthesis or, when
  // not `into_data`, at a data edit. Sets rep_left_ at a data edit.
  bool step(bool into_data) {
    if (pc_ >= f_.count) return false;
    const Edit& e = f_.edit[pc_];
    switch (e.kind) {
      case EditKind::X:
        io_.skip(e.repeat);
        ++pc_;
        return true;
      case EditKind::P:
        scale_ = e.k;
        ++pc_;
        return true;
      case EditKind::Slash:
        for (int i = 0; i < e.repeat; ++i) io_.end_record();
        ++pc_;
        return true;
      case EditKind::Open:
        left_[depth_++] = e.repeat;
        ++pc_;
        return true;
      case EditKind::Close:
        if (--left_[depth_ - 1] > 0) {
          pc_ = e.other + 1;
        } else {
          --depth_;
          ++pc_;
        }
        return true;
      default:
        if (!into_data) return false;
        rep_left_ = e.repeat;
        return true;
    }
  }

  const Format& f_;
  Io& io_;
  int pc_ = 0;
  int rep_left_ = 0;
  int scale_ = 0;
  int depth_ = 0;
  std::array<int, kMaxNesting + 1> left_{};
};

}  // namespace sfconv
