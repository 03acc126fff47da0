// The CIF syntax layer beside GEMMI's own document, on the same bytes: the
// same blocks, pairs, loops, values and lines, or the same error at the same
// place; a repetition the layer records is a duplicate GEMMI refuses. C++17,
// as the layer itself, for GEMMI's document.
#include "cif_syntax_check.hpp"

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <stdexcept>
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
  std::optional<std::string> duplicate;
  if (!refused) {
    try {
      gcif::check_for_duplicates(doc);
    } catch (const std::runtime_error& e) {
      duplicate = e.what();
    }
  }

  std::optional<CifSyntax> syntax;
  std::optional<CifSyntaxError> error;
  try {
    syntax = read_cif_syntax(bytes, name);
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
  if (duplicate) {
    // Either the same duplicate (a tag GEMMI meets before any repeated
    // block name), another one GEMMI's block names hid, or repetitions only.
    expect(
        error ? error->message.find(": duplicate ") != std::string::npos : !syntax->repeats.empty(),
        "GEMMI refused: " + *duplicate);
    if (error && duplicate->find("duplicate block name") == std::string::npos) {
      expect(error->message == *duplicate, "GEMMI refused: " + *duplicate);
    }
    if (error) return;
  } else {
    expect(!error, "GEMMI read what the layer refused: " + (error ? error->message : ""));
    expect(syntax->repeats.empty(), "a repetition GEMMI does not see");
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
