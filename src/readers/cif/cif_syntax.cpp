// CIF syntax by GEMMI's grammar, with actions of our own that keep each loop
// value as a view into the file's bytes instead of GEMMI's string per value.
// This file alone includes GEMMI's CIF parser, and is compiled as C++17: with
// clang in C++20 mode libstdc++'s constexpr vector cannot hold the then
// incomplete item type of GEMMI's document, which the parser's header brings.
#include "readers/cif/cif_syntax.hpp"

#include <sys/mman.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <new>
#include <optional>
#include <unordered_map>
#include <unordered_set>

#include <gemmi/cif.hpp>

namespace sfconv {

namespace {

namespace gcif = gemmi::cif;
namespace pegtl = tao::pegtl;
namespace rules = gcif::rules;

// A tag met before in the block: as a pair, or in loops.
struct Seen {
  long line = 0;  // where it stood first: the pair's line, or the loop_'s
  bool pair = false;
  std::size_t loop = 0;  // the last loop it stood in (numbered from 1)
};

// What the actions build, and what they found wrong beyond the grammar; a
// fault of the grammar throws at once, these only after the whole file has
// parsed, in the order GEMMI's checks of its document report them.
struct State {
  State(CifValues& values_, CifSyntax& out_)
      : values(values_), out(out_), base(values_.bytes().data()) {}

  CifValues& values;
  CifSyntax& out;
  const char* base;  // the file's first byte

  CifBlock* block = nullptr;
  bool in_frame = false;
  CifPair pair;                                  // the item being read
  std::size_t loop_tags = 0, loop_values = 0;    // of the loop being read
  std::size_t loops = 0;                         // of the block, frames' included
  std::unordered_map<std::string, Seen> tags;    // of the block, lower case
  std::unordered_set<std::string> frames;        // of the block, lower case
  std::unordered_map<std::string, long> blocks;  // names, lower case: line

  std::optional<CifSyntaxError> missing, duplicate;

  // A duplicate GEMMI's document refuses: at the line of its pair, loop_ or
  // save_, with its block.
  void duplicated(long line, const std::string& what) {
    if (!duplicate) duplicate = CifSyntaxError{line, 0, what + " in data_" + block->name};
  }
};

template <typename Input>
long line_of(const Input& in) {
  return static_cast<long>(in.iterator().line);
}

template <typename Rule>
struct Action : pegtl::nothing<Rule> {};

void begin_block(State& s, std::string name, long line) {
  s.out.blocks.push_back({});
  s.block = &s.out.blocks.back();
  s.block->name = std::move(name);
  s.block->line = line;
  s.in_frame = false;
  s.loops = 0;
  s.tags.clear();
  s.frames.clear();
  // A block name given twice (empty for global_, which may repeat).
  if (s.block->name.empty()) return;
  auto [at, fresh] = s.blocks.emplace(gemmi::to_lower(s.block->name), line);
  if (!fresh) s.out.repeats.push_back({"", s.block->name, line, at->second});
}

template <>
struct Action<rules::datablockname> {
  template <typename Input>
  static void apply(const Input& in, State& s) {
    std::string name = in.string();
    if (name.empty()) name = "#";  // a bare data_, as GEMMI names it
    begin_block(s, std::move(name), line_of(in));
  }
};

template <>
struct Action<rules::str_global> {
  template <typename Input>
  static void apply(const Input& in, State& s) {
    begin_block(s, "", line_of(in));
  }
};

// Save frames are read by the grammar and left out; only their names are
// checked, as GEMMI checks them.
template <>
struct Action<rules::framename> {
  template <typename Input>
  static void apply(const Input& in, State& s) {
    s.in_frame = true;
    if (!s.frames.insert(gemmi::to_lower(in.string())).second) {
      s.duplicated(line_of(in), "duplicate save_" + in.string());
    }
  }
};

template <>
struct Action<rules::endframe> {
  template <typename Input>
  static void apply(const Input&, State& s) {
    s.in_frame = false;
  }
};

template <>
struct Action<rules::item_tag> {
  template <typename Input>
  static void apply(const Input& in, State& s) {
    s.pair = {std::string_view(in.begin(), in.size()), {}, line_of(in)};
  }
};

template <>
struct Action<rules::item_value> {
  template <typename Input>
  static void apply(const Input& in, State& s) {
    s.pair.value = std::string_view(in.begin(), in.size());
  }
};

// A tag without a value. FullProf's _prof.cif holds the line
// "_diffrn_measurement_device_type?": the value glued to its tag. A tag that
// ends in '?' is read as the tag and the value '?'; any other is GEMMI's
// error, reported once the file has parsed.
template <>
struct Action<rules::missing_value> {
  template <typename Input>
  static void apply(const Input&, State& s) {
    std::string_view& tag = s.pair.tag;
    if (tag.size() < 3 || tag.back() != '?') {
      if (!s.missing)
        s.missing = CifSyntaxError{s.pair.line, 0, std::string(tag) + " has no value"};
      return;
    }
    tag.remove_suffix(1);
    s.pair.value = "?";
    s.out.mended.push_back(s.pair);
  }
};

template <>
struct Action<rules::dataitem> {
  template <typename Input>
  static void apply(const Input&, State& s) {
    if (s.in_frame) return;
    auto [at, fresh] =
        s.tags.emplace(gemmi::to_lower(std::string(s.pair.tag)), Seen{s.pair.line, true, 0});
    if (!fresh) s.duplicated(s.pair.line, "duplicate tag " + std::string(s.pair.tag));
    s.block->pairs.push_back(s.pair);
  }
};

template <>
struct Action<rules::str_loop> {
  template <typename Input>
  static void apply(const Input& in, State& s) {
    ++s.loops;
    s.loop_tags = 0;
    s.loop_values = 0;
    if (s.in_frame) return;
    CifLoop& loop = s.block->loops.emplace_back();
    loop.line = line_of(in);
    loop.values = &s.values;
    loop.first = s.values.size();
    loop.offset = static_cast<std::size_t>(in.begin() - s.base);
  }
};

// A tag in two loops of a block is a repetition the reader is told of (at
// the loop_ lines of the repeating loop and of the first that held the tag);
// in one loop twice, or beside a pair, it is GEMMI's error.
template <>
struct Action<rules::loop_tag> {
  template <typename Input>
  static void apply(const Input& in, State& s) {
    ++s.loop_tags;
    if (s.in_frame) return;
    CifLoop& loop = s.block->loops.back();
    loop.tags.push_back(in.string());
    auto [at, fresh] =
        s.tags.emplace(gemmi::to_lower(loop.tags.back()), Seen{loop.line, false, s.loops});
    if (fresh) return;
    if (at->second.pair || at->second.loop == s.loops) {
      s.duplicated(loop.line, "duplicate tag " + loop.tags.back());
    } else {
      at->second.loop = s.loops;
      s.out.repeats.push_back({loop.tags.back(), s.block->name, loop.line, at->second.line});
    }
  }
};

template <>
struct Action<rules::loop_value> {
  static void take(const char* begin, std::size_t size, State& s) {
    ++s.loop_values;
    if (!s.in_frame) s.values.push_back(static_cast<std::size_t>(begin - s.base), size);
  }

  template <typename Input>
  static void apply(const Input& in, State& s) {
    take(in.begin(), in.size(), s);
  }

  // Most values of a large loop are numbers: GEMMI's first choice, simunq,
  // ordinary characters up to white space, is matched here at once; any
  // other value goes through the whole rule.
  template <typename Rule, pegtl::apply_mode A, pegtl::rewind_mode M,
            template <typename...> class Action_, template <typename...> class Control,
            typename Input>
  static bool match(Input& in, State& s) {
    const char* begin = in.current();
    const char* end = begin;
    while (end != in.end() && gcif::char_table(*end) == 1) ++end;
    if (end != begin && end != in.end() && gcif::char_table(*end) == 2) {
      if constexpr (A == pegtl::apply_mode::action)
        take(begin, static_cast<std::size_t>(end - begin), s);
      in.bump_in_this_line(static_cast<std::size_t>(end - begin));
      return true;
    }
    return pegtl::match<Rule, A, M, Action_, Control>(in, s);
  }
};

// A loop's values fill whole rows, in save frames too (GEMMI's check).
template <>
struct Action<rules::loop> {
  template <typename Input>
  static void apply(const Input& in, State& s) {
    if (s.loop_values % s.loop_tags != 0) {
      throw pegtl::parse_error("Wrong number of values in the loop", in);
    }
    if (!s.in_frame) s.block->loops.back().count = s.loop_values;
  }
};

constexpr std::size_t kHugePage = std::size_t{2} << 20;

// n bytes of memory. From 2 MiB on it is aligned to 2 MiB and its whole
// 2 MiB spans are advised for huge pages where the system has them: a page
// fault then maps 2 MiB, not 4 KiB, and on a virtual machine taking pages
// one by one was most of the time spent on a large file. The tail beyond
// the last whole 2 MiB keeps ordinary pages: nothing past n becomes resident.
void* memory_for(std::size_t n) {
  void* p = nullptr;
  if (n < kHugePage) {
    p = std::malloc(n == 0 ? 1 : n);
  } else {
    const std::size_t whole = n / kHugePage * kHugePage;
    p = std::aligned_alloc(kHugePage, whole + (n > whole ? kHugePage : 0));
#ifdef MADV_HUGEPAGE
    if (p != nullptr) madvise(p, whole, MADV_HUGEPAGE);
#endif
  }
  if (p == nullptr) throw std::bad_alloc();
  return p;
}

CifSyntax parse(std::shared_ptr<CifValues> values, const std::string& name) {
  CifSyntax syntax;
  const std::string_view file = values->bytes();
  State state(*values, syntax);
  try {
    pegtl::memory_input<> in(file.data(), file.size(), name);
    if (!pegtl::parse<rules::file, Action, gcif::Errors>(in, state)) {
      throw CifSyntaxError{0, 0, "no data block (data_)"};
    }
  } catch (const pegtl::parse_error& e) {
    CifSyntaxError error{0, 0, std::string(e.message())};
    if (!e.positions().empty()) {
      error.line = static_cast<long>(e.positions()[0].line);
      error.column = static_cast<long>(e.positions()[0].column);
    }
    throw error;
  }
  if (state.missing) throw *state.missing;
  if (state.duplicate) throw *state.duplicate;
  syntax.values = std::move(values);
  return syntax;
}

void check_size(std::uint64_t n) {
  if (n >= CifValues::kMostBytes) {
    throw CifSyntaxError{0, 0, "the file has 2^48 bytes (256 TiB) or more, beyond what is read"};
  }
}

}  // namespace

CifValues::CifValues(std::size_t n) : bytes_(static_cast<char*>(memory_for(n))), size_(n) {}

void CifValues::grow() {
  if (room_ == 0) {
    first_.reset(static_cast<std::uint64_t*>(memory_for(kFirst * sizeof(std::uint64_t))));
    room_ = kFirst;
  } else {
    chunks_.emplace_back(static_cast<std::uint64_t*>(memory_for(kChunk * sizeof(std::uint64_t))));
    room_ += kChunk;
  }
}

std::size_t CifValues::long_length(std::size_t i) const {
  auto at = std::lower_bound(long_.begin(), long_.end(), std::make_pair(i, std::size_t{0}));
  return at->second;
}

CifSyntax read_cif_syntax(std::FILE* file, const std::string& name) {
  // One buffer of the size the system gives for a file: its bytes are read
  // into it and never copied. A pipe's, or bytes beyond that size, are
  // gathered and then copied once.
  struct stat st {};
  std::size_t expected = 0;
  if (fstat(fileno(file), &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0) {
    check_size(static_cast<std::uint64_t>(st.st_size));
    expected = static_cast<std::size_t>(st.st_size);
  }
  auto values = std::make_shared<CifValues>(expected);
  values->shrink(std::fread(values->data(), 1, expected, file));
  std::string more;
  char buffer[65536];
  for (std::size_t n = 0; (n = std::fread(buffer, 1, sizeof buffer, file)) > 0;) {
    more.append(buffer, n);
  }
  if (std::ferror(file)) throw CifReadError{errno};
  if (more.empty()) return parse(std::move(values), name);
  const std::string_view got = values->bytes();
  check_size(std::uint64_t{got.size()} + more.size());
  auto whole = std::make_shared<CifValues>(got.size() + more.size());
  std::copy(got.begin(), got.end(), whole->data());
  std::copy(more.begin(), more.end(), whole->data() + got.size());
  return parse(std::move(whole), name);
}

CifSyntax cif_syntax_of(std::string_view bytes, const std::string& name) {
  check_size(bytes.size());
  auto values = std::make_shared<CifValues>(bytes.size());
  std::copy(bytes.begin(), bytes.end(), values->data());
  return parse(std::move(values), name);
}

long CifLoop::line_of(std::size_t row, std::size_t column) const {
  const std::string_view bytes = values->bytes();
  const std::size_t at =
      static_cast<std::size_t>((*values)[first + row * tags.size() + column].data() - bytes.data());
  return line +
         static_cast<long>(std::count(bytes.begin() + static_cast<std::ptrdiff_t>(offset),
                                      bytes.begin() + static_cast<std::ptrdiff_t>(at), '\n'));
}

bool cif_null(std::string_view raw) {
  return raw.size() == 1 && (raw[0] == '?' || raw[0] == '.');
}

std::string_view cif_unquoted(std::string_view raw) {
  const std::size_t n = raw.size();
  if (n == 0 || cif_null(raw)) return {};
  if ((raw[0] == '"' || raw[0] == '\'') && n >= 2) return raw.substr(1, n - 2);
  if (raw[0] == ';' && n > 2 && raw[n - 2] == '\n') {
    const bool crlf = raw[n - 3] == '\r';
    return raw.substr(1, n - (crlf ? 4 : 3));
  }
  return raw;
}

std::string cif_text(std::string_view raw) {
  return std::string(cif_unquoted(raw));
}

}  // namespace sfconv
