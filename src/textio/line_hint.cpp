// The hint for a parameter line that does not hold what belongs there.
#include "textio/line_hint.hpp"

#include <sys/stat.h>

#include "textio/chars.hpp"
#include "textio/failure.hpp"
#include "textio/numeric_input.hpp"
#include "textio/readline.hpp"

namespace sfconv {

ParameterLog PARAMETER_LOG;

namespace {

// Lines looked at after the one found wanting, to tell a shifted file from a
// wrong value.
constexpr std::size_t kAhead = 3;

enum class Form { name, group, angles, numbers, words, other };

// What a line is made of.
struct Look {
  Form form = Form::other;
  bool integers = false;      // numbers or angles: each one an integer
  std::vector<float> values;  // numbers or angles: their values
};

bool is_separator(char c) {
  return is_blank(c) || c == ',';
}

bool is_integer(std::string_view token) {
  std::size_t i = token[0] == '+' || token[0] == '-' ? 1 : 0;
  if (i == token.size()) return false;
  for (; i < token.size(); ++i) {
    if (!is_digit(token[i])) return false;
  }
  return true;
}

Look look_of(std::string_view line) {
  line = trim(line);
  Look look;
  if (line.empty()) return look;
  if (looks_like_file_name(line)) {
    look.form = Form::name;
    return look;
  }
  if (looks_like_space_group_line(line)) {
    look.form = Form::group;
    return look;
  }
  const bool slash = line.back() == '/';
  std::string_view body = slash ? line.substr(0, line.size() - 1) : line;
  bool numbers = true;
  bool integers = true;
  for (std::size_t i = 0; i < body.size();) {
    while (i < body.size() && is_separator(body[i])) ++i;
    const std::size_t start = i;
    while (i < body.size() && !is_separator(body[i])) ++i;
    if (i == start) break;
    const std::string_view token = body.substr(start, i - start);
    float x = 0.0f;
    if (!number_in(token, 0, x)) {
      numbers = false;
      break;
    }
    integers = integers && is_integer(token);
    look.values.push_back(x);
  }
  if (numbers) {
    look.form = slash ? Form::angles : Form::numbers;
    look.integers = integers;
  } else {
    look.values.clear();
    if (is_letter(line[0])) look.form = Form::words;
  }
  return look;
}

std::string count_text(std::size_t n, std::string_view noun) {
  const char* words[] = {"no", "one", "two", "three"};
  return cat(n < 4 ? std::string(words[n]) : cat(n), " ", noun, n == 1 ? "" : "s");
}

std::string ordinal(std::size_t n) {
  const std::size_t tens = n % 100 / 10;
  const char* suffix = tens == 1     ? "th"
                       : n % 10 == 1 ? "st"
                       : n % 10 == 2 ? "nd"
                       : n % 10 == 3 ? "rd"
                                     : "th";
  return cat(n, suffix);
}

const ParameterLine* kind_named(std::string_view name) {
  for (const ParameterLine* kind : lines::all) {
    if (kind->name == name) return kind;
  }
  return nullptr;
}

}  // namespace

bool looks_like_space_group_line(std::string_view line) {
  if (line.size() < 3 || !is_letter(line[0]) || !(line[1] == ' ' || line[1] == ',')) return false;
  std::string_view rest = trim_start(line.substr(2));
  return !rest.empty() && is_digit(rest[0]);
}

bool looks_like_file_name(std::string_view line) {
  float x = 0.0f;
  if (line.empty() || line.find_first_of(" \t,") != std::string_view::npos ||
      number_in(line, 0, x)) {
    return false;
  }
  // "145.0/" and "/" end a list of angles; no file's name ends so.
  if (line.ends_with('/')) return false;
  if (line.find('/') != std::string_view::npos) return true;
  std::size_t dot = line.rfind('.');
  return dot != std::string_view::npos && dot > 0 && dot + 1 < line.size() &&
         is_letter(line[dot + 1]);
}

std::string line_shape(std::string_view line) {
  const Look look = look_of(line);
  switch (look.form) {
    case Form::name:
      return "a file name";
    case Form::group:
      return "a space-group line";
    case Form::angles:
      return "a detector-angle line ending with \"/\"";
    case Form::numbers:
      return count_text(look.values.size(), look.integers ? "integer" : "real");
    case Form::words:
      return "a title";
    case Form::other:
      break;
  }
  return {};
}

bool could_be(std::string_view line, const ParameterLine& kind, bool ranges) {
  line = trim(line);
  const Look look = look_of(line);
  const bool numbers = look.form == Form::numbers;
  const bool integers = numbers && look.integers;
  const std::size_t n = look.values.size();
  // Out of range, the value tells nothing: a value like another's.
  auto at_least = [&](std::size_t i, float least) { return !ranges || look.values[i] >= least; };
  const float first = n > 0 ? look.values[0] : 0.0f;
  const ParameterLine* k = &kind;
  if (k == &lines::input_name || k == &lines::second_name || k == &lines::output_name) {
    return !line.empty() && !numbers && line.find_first_of(" \t,") == std::string_view::npos;
  }
  if (k == &lines::title) return look.form == Form::words || look.form == Form::other;
  if (k == &lines::space_group) return look.form == Form::group;
  if (k == &lines::E || k == &lines::lambda0) return numbers && n == 1 && (!ranges || first > 0.0f);
  if (k == &lines::total) return numbers && n == 1;
  if (k == &lines::totals || k == &lines::polarization) return numbers && n == 2;
  if (k == &lines::grid) {
    return integers && n == 3 && at_least(0, 1) && at_least(1, 1) && at_least(2, 1);
  }
  if (k == &lines::IAMP) return integers && n == 1 && (!ranges || first == 0.0f || first == 1.0f);
  if (k == &lines::histogram || k == &lines::data_set) {
    return integers && n == 1 && at_least(0, 0);
  }
  if (k == &lines::phase) return integers && n == 1 && at_least(0, 1);
  if (k == &lines::angles) return look.form == Form::angles || (numbers && n >= 25);
  return false;
}

void ParameterLog::note(TextInput& parameters, std::string_view what, std::string_view text) {
  if (&parameters != stream_ || parameters.name() != file_ ||
      (!read_.empty() && parameters.line() <= read_.back().line)) {
    read_.clear();
    looked_ahead_.clear();
    stream_ = &parameters;
    file_ = parameters.name();
  }
  read_.push_back({kind_named(what), parameters.line(), std::string(trim(text))});
}

void ParameterLog::clear() {
  plan_.clear();
  read_.clear();
  looked_ahead_.clear();
  file_.clear();
  stream_ = nullptr;
}

Place ParameterLog::place(std::size_t i) const {
  if (i < read_.size() && read_[i].kind != nullptr) return {read_[i].kind};
  if (i < plan_.size()) return plan_[i];
  return {};
}

// The lines after the last one read, as far as kAhead: read once, from a
// regular file only (a pipe may never end), and kept.
const std::vector<std::string>& ParameterLog::ahead() {
  if (stream_ == nullptr) return looked_ahead_;
  TextInput& in = *stream_;
  stream_ = nullptr;
  struct stat st {};
  if (stat(file_.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return looked_ahead_;
  try {
    char line[512];
    while (looked_ahead_.size() < kAhead && readline_or_end(in, line, sizeof line)) {
      looked_ahead_.emplace_back(trim(std::string_view(line, sizeof line)));
    }
  } catch (const IoFailure&) {
    // what could be read is enough for a hint
  }
  return looked_ahead_;
}

ParameterLog::Shift ParameterLog::shift(const std::vector<std::string>& texts, std::size_t i,
                                        bool at_end) const {
  // The kind of place i + d that line j could be, or nullptr.
  auto fits = [&](std::size_t j, int d, bool ranges = true) -> const ParameterLine* {
    if (d < 0 && j == 0) return nullptr;
    for (const ParameterLine* kind : place(j + d)) {
      if (could_be(texts[j], *kind, ranges)) return kind;
    }
    return nullptr;
  };
  Shift found[2];
  for (int c = 0; c < 2; ++c) {
    const int d = c == 0 ? 1 : -1;  // a line missing: each line holds the next place's
    if (at_end && d < 0) break;
    Shift s;
    s.direction = d;
    bool strict = false;
    if (!at_end) {
      s.like = fits(i, d);
      if (s.like == nullptr) continue;
      // Not even of the form of its own line: no mere slip of a value.
      strict = fits(i, 0, false) == nullptr;
      s.above = i;
    }
    // Back from the line: those that fit only shifted lie below the slip, the
    // first that fits only where it stands lies above it.
    int support = 0;
    int against = 0;
    bool shifted = !at_end;
    for (std::size_t j = i; j-- > 0;) {
      const bool moved = fits(j, d) != nullptr;
      const bool stays = fits(j, 0) != nullptr;
      if (moved && !stays) {
        s.above = j;
        shifted = true;
        ++support;
      } else if (!moved) {
        s.after = j;
        s.has_after = true;
        break;
      }
    }
    for (std::size_t j = i + 1; !at_end && j < texts.size(); ++j) {
      const bool moved = fits(j, d) != nullptr;
      const bool stays = fits(j, 0) != nullptr;
      if (moved && !stays) ++support;
      if (stays && !moved) ++against;
    }
    if (!shifted || !(strict || support > 0) || against > support) continue;
    found[c] = s;
  }
  if (found[0].direction != 0 && found[1].direction != 0) {
    Shift both = found[0];
    both.other = found[1].like;
    both.above = i;
    both.has_after = false;
    return both;
  }
  return found[0].direction != 0 ? found[0] : found[1];
}

std::string ParameterLog::shift_text(const Shift& s, bool shape) const {
  if (s.direction == 0) return {};
  std::string text;
  if (s.other != nullptr) {
    text = shape ? cat(", as the ", s.other->name, " line above and the ", s.like->name,
                       " line below should")
                 : cat("; it could be the ", s.other->name, " line above or the ", s.like->name,
                       " line below");
    return cat(text, ": a line may be missing or extra above line ", read_[s.above].line);
  }
  if (s.like != nullptr) {
    const char* side = s.direction > 0 ? "below" : "above";
    text = shape ? cat(", as the ", s.like->name, " line ", side, " should")
                 : cat("; it could be the ", s.like->name, " line ", side);
  }
  text += cat(": a line is probably ", s.direction > 0 ? "missing" : "extra");
  const long above = read_[s.above].line;
  if (s.has_after && s.after + 1 < s.above) {
    return cat(text, " between line ", read_[s.after].line, " and line ", above);
  }
  return cat(text, " above line ", above);
}

std::string ParameterLog::hint(std::string_view file, long line) {
  std::size_t i = 0;
  while (i < read_.size() && read_[i].line != line) ++i;
  if (i == read_.size() || file != file_) return {};
  const Place here = place(i);
  if (here.empty()) return {};
  // The lines read, and those after the last one.
  std::vector<std::string> texts;
  for (const Read& r : read_) texts.push_back(r.text);
  if (i + 1 == read_.size()) {
    for (const std::string& t : ahead()) texts.push_back(t);
  }
  std::string text = cat(file_, ", line ", line, " should hold ", here.front()->belongs);
  const std::string shape = line_shape(read_[i].text);
  if (!shape.empty()) text += cat("; it holds ", shape);
  return text + shift_text(shift(texts, i, false), !shape.empty());
}

std::string ParameterLog::hint_at_end(std::string_view file, std::string_view what) {
  if (file != file_) read_.clear();
  const std::size_t n = read_.size();
  const ParameterLine* kind = kind_named(what);
  if (kind == nullptr && !place(n).empty()) kind = place(n).front();
  if (kind == nullptr) return {};
  std::string text =
      n == 0 ? cat(file, " holds no line of values; the 1st should hold ", kind->belongs)
             : cat(file, " ends after its ", ordinal(n), " line of values; the ", ordinal(n + 1),
                   " should hold ", kind->belongs);
  std::vector<std::string> texts;
  for (const Read& r : read_) texts.push_back(r.text);
  return text + shift_text(shift(texts, n, true), false);
}

}  // namespace sfconv
