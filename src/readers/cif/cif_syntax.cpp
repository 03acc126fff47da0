// CIF syntax by GEMMI. This file alone includes GEMMI's CIF document, and is
// compiled as C++17: with clang in C++20 mode libstdc++'s constexpr vector
// cannot hold GEMMI's then incomplete item type.
#include "readers/cif/cif_syntax.hpp"

#include <stdexcept>
#include <utility>

#include <gemmi/cif.hpp>

namespace sfconv {

namespace {

namespace gcif = gemmi::cif;
namespace pegtl = tao::pegtl;

// GEMMI's document, and the line of every loop value in the order GEMMI read
// them: GEMMI itself keeps the line of a tag and of a loop_ only.
struct LinedDocument : gcif::Document {
  std::vector<std::uint32_t> value_lines;
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
  try {
    gcif::check_for_duplicates(doc);
  } catch (const std::runtime_error& e) {
    throw CifSyntaxError{0, 0, e.what()};
  }
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
