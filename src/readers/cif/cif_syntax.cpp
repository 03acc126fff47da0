// CIF syntax by GEMMI. This file alone includes GEMMI's CIF document, and is
// compiled as C++17: with clang in C++20 mode libstdc++'s constexpr vector
// cannot hold GEMMI's then incomplete item type.
#include "readers/cif/cif_syntax.hpp"

#include <algorithm>
#include <map>
#include <stdexcept>
#include <string>
#include <utility>

#include <gemmi/cif.hpp>

namespace sfconv {

namespace {

namespace gcif = gemmi::cif;
namespace pegtl = tao::pegtl;

// GEMMI's document, and the line of every loop value and of every data_
// heading in the order GEMMI read them: GEMMI itself keeps the line of a tag
// and of a loop_ only.
struct LinedDocument : gcif::Document {
  std::vector<std::uint32_t> value_lines;
  std::vector<long> block_lines;
};

template <typename Rule>
struct LineAction : gcif::Action<Rule> {};

template <>
struct LineAction<gcif::rules::loop_value> {
  template <typename Input>
  static void apply(const Input& in, gcif::Document& out) {
    gcif::Action<gcif::rules::loop_value>::apply(in, out);
    static_cast<LinedDocument&>(out).value_lines.push_back(
        static_cast<std::uint32_t>(in.iterator().line));
  }
};

template <>
struct LineAction<gcif::rules::datablockname> {
  template <typename Input>
  static void apply(const Input& in, gcif::Document& out) {
    gcif::Action<gcif::rules::datablockname>::apply(in, out);
    static_cast<LinedDocument&>(out).block_lines.push_back(static_cast<long>(in.iterator().line));
  }
};

// FullProf's _prof.cif holds the line "_diffrn_measurement_device_type?": the
// value glued to its tag, which leaves the tag without a value. A tag that
// ends in '?' and has no value is read as the tag and the value '?'; any
// other tag without a value is the error GEMMI reports.
void mend_glued_values(gcif::Block& block, std::vector<CifPair>& mended) {
  for (gcif::Item& item : block.items) {
    if (item.type == gcif::ItemType::Frame) mend_glued_values(item.frame, mended);
    if (item.type != gcif::ItemType::Pair || !item.pair[1].empty()) continue;
    std::string& tag = item.pair[0];
    if (tag.size() < 3 || tag.back() != '?') {
      throw CifSyntaxError{item.line_number, 0, tag + " has no value"};
    }
    tag.pop_back();
    item.pair[1] = "?";
    mended.push_back({tag, "?", item.line_number});
  }
}

// Moves a block's pairs and loops out of GEMMI's document, each loop value
// with its line; `next` counts the values of the loops before it.
CifBlock plain_block(gcif::Block& block, const std::vector<std::uint32_t>& lines,
                     std::size_t& next) {
  CifBlock out;
  out.name = block.name;
  for (gcif::Item& item : block.items) {
    if (item.type == gcif::ItemType::Pair) {
      out.pairs.push_back({std::move(item.pair[0]), std::move(item.pair[1]), item.line_number});
    } else if (item.type == gcif::ItemType::Loop) {
      CifLoop loop;
      loop.line = item.line_number;
      loop.tags = std::move(item.loop.tags);
      loop.values = std::move(item.loop.values);
      for (std::size_t i = 0; i < loop.values.size(); ++i) {
        const std::size_t at = next + i;
        loop.lines.push_back(at < lines.size() ? lines[at]
                                               : static_cast<std::uint32_t>(item.line_number));
      }
      next += loop.values.size();
      out.loops.push_back(std::move(loop));
    } else if (item.type == gcif::ItemType::Frame) {
      plain_block(item.frame, lines, next);  // counted, not kept
    }
  }
  return out;
}

std::string lower(std::string text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return text;
}

// The repetitions a reader can live with, in file order: a block name given
// again (two files joined; names compared without case, global_ blocks left
// out), and a tag that a later loop of the same block repeats (the COD puts
// two banks' loops in one block). Any other repeated tag (twice among the
// pairs, a pair and a loop tag, twice in one loop) or save frame is the
// error GEMMI reports.
std::vector<CifRepeat> repeats(const LinedDocument& doc) {
  std::vector<CifRepeat> found;
  std::map<std::string, std::size_t> names;  // the first block of each name
  for (std::size_t b = 0; b < doc.blocks.size(); ++b) {
    const gcif::Block& block = doc.blocks[b];
    const long line = b < doc.block_lines.size() ? doc.block_lines[b] : 0;
    if (block.name.empty()) continue;
    auto [first, fresh] = names.emplace(lower(block.name), b);
    if (!fresh) {
      const std::size_t f = first->second;
      found.push_back({"", block.name, line, f < doc.block_lines.size() ? doc.block_lines[f] : 0});
    }
  }
  for (const gcif::Block& block : doc.blocks) {
    std::map<std::string, const gcif::Item*> pairs, looped;  // where each tag stood
    std::map<std::string, bool> frames;
    for (const gcif::Item& item : block.items) {
      auto fail = [&](const std::string& what) {
        throw CifSyntaxError{item.line_number, 0, what + " in data_" + block.name};
      };
      if (item.type == gcif::ItemType::Pair) {
        const std::string tag = lower(item.pair[0]);
        if (pairs.count(tag) != 0 || looped.count(tag) != 0) fail("duplicate tag " + item.pair[0]);
        pairs.emplace(tag, &item);
      } else if (item.type == gcif::ItemType::Loop) {
        std::map<std::string, bool> own;
        for (const std::string& t : item.loop.tags) {
          const std::string tag = lower(t);
          if (pairs.count(tag) != 0 || !own.emplace(tag, true).second) fail("duplicate tag " + t);
          auto [first, fresh] = looped.emplace(tag, &item);
          if (!fresh)
            found.push_back({t, block.name, item.line_number, first->second->line_number});
        }
      } else if (item.type == gcif::ItemType::Frame) {
        if (!frames.emplace(lower(item.frame.name), true).second) {
          fail("duplicate save_" + item.frame.name);
        }
      }
    }
  }
  // In file order: the block names were gathered first.
  std::stable_sort(found.begin(), found.end(),
                   [](const CifRepeat& a, const CifRepeat& b) { return a.line < b.line; });
  return found;
}

}  // namespace

CifSyntax read_cif_syntax(const std::string& bytes, const std::string& name) {
  LinedDocument doc;
  doc.source = name;
  try {
    pegtl::memory_input<> in(bytes.data(), bytes.size(), name);
    if (!pegtl::parse<gcif::rules::file, LineAction, gcif::Errors>(in, doc)) {
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
  CifSyntax syntax;
  for (gcif::Block& block : doc.blocks) mend_glued_values(block, syntax.mended);
  syntax.repeats = repeats(doc);
  std::size_t next = 0;
  for (gcif::Block& block : doc.blocks) {
    syntax.blocks.push_back(plain_block(block, doc.value_lines, next));
  }
  return syntax;
}

bool cif_null(std::string_view raw) {
  return raw.size() == 1 && (raw[0] == '?' || raw[0] == '.');
}

std::string cif_text(std::string_view raw) {
  return gcif::as_string(std::string(raw));
}

}  // namespace sfconv
