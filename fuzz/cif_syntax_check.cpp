// The CIF syntax layer beside GEMMI's own document, on the same bytes: the
// same blocks, pairs, loops, values and lines, or the same error at the same
// place; the repetitions and duplicates found by the layer's rule applied to
// GEMMI's document. C++17, as the layer itself, for GEMMI's document.
#include "cif_syntax_check.hpp"

#include <cstdio>
#include <cstdlib>
#include <map>
#include <optional>
#include <set>
#include <string>

#include <gemmi/cif.hpp>

#include "readers/cif/cif_syntax.hpp"

namespace sfconv::fuzz {

namespace {

namespace gcif = gemmi::cif;
namespace pegtl = tao::pegtl;

struct LinedDocument : gcif::Document {
  std::vector<std::size_t> value_lines;
};

template <typename Rule>
struct LineAction : gcif::Action<Rule> {};

template <>
struct LineAction<gcif::rules::loop_value> {
  template <typename Input>
  static void apply(const Input& in, gcif::Document& out) {
    gcif::Action<gcif::rules::loop_value>::apply(in, out);
    static_cast<LinedDocument&>(out).value_lines.push_back(in.iterator().line);
  }
};

[[noreturn]] void differ(const std::string& what) {
  std::fprintf(stderr, "CIF syntax differs from GEMMI's document: %s\n", what.c_str());
  std::abort();
}

void expect(bool same, const std::string& what) {
  if (!same) differ(what);
}

// What the syntax layer used to do with GEMMI's document: a tag without a
// value mended when it ends in '?', else refused.
std::optional<CifSyntaxError> mend(gcif::Block& block, std::vector<std::string>& mended) {
  for (gcif::Item& item : block.items) {
    if (item.type == gcif::ItemType::Frame) {
      if (auto e = mend(item.frame, mended)) return e;
    }
    if (item.type != gcif::ItemType::Pair || !item.pair[1].empty()) continue;
    std::string& tag = item.pair[0];
    if (tag.size() < 3 || tag.back() != '?') {
      return CifSyntaxError{item.line_number, 0, tag + " has no value"};
    }
    tag.pop_back();
    item.pair[1] = "?";
    mended.push_back(tag);
  }
  return std::nullopt;
}

// The repetitions and the first duplicate of GEMMI's document by the rule
// the layer keeps: a block name or a tag in another loop of the block is a
// repetition ("tag in block" or "in block"); a tag twice among pairs, in a
// pair and a loop, or twice in one loop is an error.
struct Repeats {
  std::vector<std::string> seen;
  std::optional<std::string> error;
};

Repeats repeats_of(const gcif::Document& doc) {
  Repeats r;
  std::map<std::string, std::size_t> names;
  for (const gcif::Block& block : doc.blocks) {
    if (!block.name.empty() && !names.emplace(gemmi::to_lower(block.name), 0).second) {
      r.seen.push_back("in " + block.name);
    }
    std::map<std::string, std::size_t> tags;  // 0: a pair; n: last in loop n
    std::map<std::string, int> first;         // the loop_ line a tag stood in first
    std::set<std::string> frames;
    std::size_t loops = 0;
    auto fail = [&](const gcif::Item& item, const std::string& what) {
      if (!r.error)
        r.error = what + " in data_" + block.name + " at line " + std::to_string(item.line_number);
    };
    for (const gcif::Item& item : block.items) {
      if (item.type == gcif::ItemType::Pair) {
        if (!tags.emplace(gemmi::to_lower(item.pair[0]), 0).second) {
          fail(item, "duplicate tag " + item.pair[0]);
        }
      } else if (item.type == gcif::ItemType::Loop) {
        ++loops;
        for (const std::string& t : item.loop.tags) {
          auto [at, fresh] = tags.emplace(gemmi::to_lower(t), loops);
          first.emplace(gemmi::to_lower(t), item.line_number);
          if (fresh) continue;
          if (at->second == 0 || at->second == loops) {
            fail(item, "duplicate tag " + t);
          } else {
            at->second = loops;
            r.seen.push_back(gemmi::cat(t, " in ", block.name, " line ", item.line_number,
                                        " first ", first[gemmi::to_lower(t)]));
          }
        }
      } else if (item.type == gcif::ItemType::Frame) {
        if (!frames.insert(gemmi::to_lower(item.frame.name)).second) {
          fail(item, "duplicate save_" + item.frame.name);
        }
      }
    }
  }
  return r;
}

void compare_block(const gcif::Block& g, const CifBlock& b, const std::vector<std::size_t>& lines,
                   std::size_t& next) {
  expect(g.name == b.name, "block name " + g.name + " / " + b.name);
  std::size_t pair = 0, loop = 0;
  for (const gcif::Item& item : g.items) {
    if (item.type == gcif::ItemType::Pair) {
      expect(pair < b.pairs.size(), "a pair more: " + item.pair[0]);
      const CifPair& p = b.pairs[pair++];
      expect(item.pair[0] == p.tag && item.pair[1] == p.value, "pair " + item.pair[0]);
      expect(item.line_number == p.line, "line of " + item.pair[0]);
    } else if (item.type == gcif::ItemType::Loop) {
      expect(loop < b.loops.size(), "a loop more");
      const CifLoop& l = b.loops[loop++];
      expect(item.loop.tags == l.tags && item.line_number == l.line, "loop tags or line");
      expect(item.loop.values.size() == l.width() * l.length(), "loop length");
      for (std::size_t i = 0; i < item.loop.values.size(); ++i) {
        const std::size_t row = i / l.width(), column = i % l.width();
        expect(item.loop.values[i] == l.val(row, column), "value " + item.loop.values[i]);
        expect(static_cast<long>(lines[next + i]) == l.line_of(row, column), "line of a value");
        expect(gcif::as_string(item.loop.values[i]) == cif_text(l.val(row, column)), "text");
      }
      next += item.loop.values.size();
    } else if (item.type == gcif::ItemType::Frame) {
      for (const gcif::Item& inner : item.frame.items) {
        if (inner.type == gcif::ItemType::Loop) next += inner.loop.values.size();
      }
    }
  }
  expect(pair == b.pairs.size() && loop == b.loops.size(), "fewer pairs or loops");
}

}  // namespace

void check_cif_syntax(std::string_view bytes) {
  const std::string name = "fuzz.cif";
  LinedDocument doc;
  doc.source = name;
  std::optional<CifSyntaxError> refused;
  std::vector<std::string> mended;
  try {
    pegtl::memory_input<> in(bytes.data(), bytes.size(), name);
    if (!pegtl::parse<gcif::rules::file, LineAction, gcif::Errors>(in, doc)) {
      refused = CifSyntaxError{0, 0, "no data block (data_)"};
    }
  } catch (const pegtl::parse_error& e) {
    refused = CifSyntaxError{static_cast<long>(e.positions()[0].line),
                             static_cast<long>(e.positions()[0].column), std::string(e.message())};
  }
  for (std::size_t i = 0; !refused && i < doc.blocks.size(); ++i) {
    refused = mend(doc.blocks[i], mended);
  }
  Repeats repeats;
  if (!refused) repeats = repeats_of(doc);
  std::optional<CifSyntax> syntax;
  std::optional<CifSyntaxError> error;
  try {
    syntax = cif_syntax_of(bytes, name);
  } catch (const CifSyntaxError& e) {
    error = e;
  }
  if (refused) {
    expect(error && error->line == refused->line && error->column == refused->column &&
               error->message == refused->message,
           "GEMMI refused at " + std::to_string(refused->line) + ":" +
               std::to_string(refused->column) + ": " + refused->message);
    return;
  }
  if (repeats.error) {
    expect(error && error->column == 0 &&
               error->message + " at line " + std::to_string(error->line) == *repeats.error,
           "the first duplicate: " + *repeats.error);
    return;
  }
  expect(!error, "GEMMI read what the layer refused: " + (error ? error->message : ""));
  expect(repeats.seen.size() == syntax->repeats.size(), "repetitions");
  for (std::size_t i = 0; i < repeats.seen.size(); ++i) {
    const CifRepeat& r = syntax->repeats[i];
    const std::string lines =
        r.tag.empty() ? ""
                      : " line " + std::to_string(r.line) + " first " + std::to_string(r.first);
    expect(repeats.seen[i] == (r.tag.empty() ? "" : r.tag + " ") + "in " + r.block + lines,
           "repetition " + repeats.seen[i]);
  }
  expect(doc.blocks.size() == syntax->blocks.size(), "number of blocks");
  std::size_t next = 0;
  for (std::size_t i = 0; i < doc.blocks.size(); ++i) {
    compare_block(doc.blocks[i], syntax->blocks[i], doc.value_lines, next);
  }
  expect(mended.size() == syntax->mended.size(), "mended tags");
  for (std::size_t i = 0; i < mended.size(); ++i) {
    expect(mended[i] == syntax->mended[i].tag && syntax->mended[i].value == "?", "mended tag");
  }
}

}  // namespace sfconv::fuzz
