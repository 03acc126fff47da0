// The CIF syntax layer: which repetitions it records and which duplicates
// stay errors, and the values and lines it hands out as views (the
// fuzz target cif checks everything else against GEMMI's own document).
#include <string>

#include <gtest/gtest.h>

#include "readers/cif/cif_syntax.hpp"

namespace sfconv {
namespace {

// The repetitions, or the error, in a line each.
std::string read(const std::string& cif) {
  try {
    const CifSyntax s = cif_syntax_of(cif, "t.cif");
    std::string out;
    for (const CifRepeat& r : s.repeats) {
      out += "'" + r.tag + "' in " + r.block + " line " + std::to_string(r.line) + " (first " +
             std::to_string(r.first) + ")\n";
    }
    return out;
  } catch (const CifSyntaxError& e) {
    return std::to_string(e.line) + ":" + std::to_string(e.column) + " " + e.message + "\n";
  }
}

TEST(CifSyntax, RepetitionsAndDuplicates) {
  const std::pair<const char*, const char*> cases[] = {
      // two banks' loops in one block, and a block name given twice
      {"data_a\nloop_ _x _y\n1 2\nloop_ _X _z\n3 4\ndata_A\n_p 1\n",
       "'_X' in a line 4 (first 2)\n'' in A line 6 (first 1)\n"},
      {"data_a\nloop_\n_x\n_y\n1 2\nloop_\n_y\n_z\n1 2\nloop_\n_z\n_x\n3 4\n",
       "'_y' in a line 6 (first 2)\n'_z' in a line 10 (first 6)\n'_x' in a line 10 (first 2)\n"},
      // global_ blocks are unnamed and may repeat; a bare data_ is "#"
      {"global_\n_g 1\nglobal_\ndata_\n_a 1\ndata_\n_a 2\n", "'' in # line 6 (first 4)\n"},
      // the same tag in another block is no repetition
      {"data_a\n_x 1\ndata_b\n_x 2\n", ""},
      // errors: twice among pairs, a pair and a loop tag, twice in one loop
      {"data_a\n_x 1\n_X 2\n", "3:0 duplicate tag _X in data_a\n"},
      {"data_a\n_x 1\nloop_ _x\n1\n", "3:0 duplicate tag _x in data_a\n"},
      {"data_a\nloop_ _x\n1\n_x 1\n", "4:0 duplicate tag _x in data_a\n"},
      {"data_a\nloop_ _x _y\n1 2\nloop_ _y\n_Y\n1 2\n", "4:0 duplicate tag _Y in data_a\n"},
      // a repetition is no error: the first duplicate after it is
      {"data_a\nloop_ _x\n1\nloop_ _x\n2\n_p 1\n_p 2\n", "7:0 duplicate tag _p in data_a\n"},
      {"data_a\nsave_f\nsave_\nsave_F\nsave_\n", "4:0 duplicate save_F in data_a\n"},
      // the first error of the file is the one reported: a glued value is
      // mended first, a tag without value comes before a duplicate, the
      // grammar's errors before either
      {"data_a\n_x 1\n_x?\n", "3:0 duplicate tag _x in data_a\n"},
      {"data_a\n_x 1\n_x 2\n_y\n_z 1\n", "4:0 _y has no value\n"},
      {"data_a\n_y\n_z 1\nloop_ _a _b\n1 2 3\n", "4:1 Wrong number of values in the loop\n"},
      // save frames: their tags and loops are not the block's
      {"data_a\n_x 1\nsave_f\n_x 2\nloop_ _y\n1\nsave_\nloop_ _y\n2\n", ""},
  };
  for (const auto& [cif, expected] : cases) EXPECT_EQ(read(cif), expected) << cif;
}

TEST(CifSyntax, ValuesAsViewsAndTheirLines) {
  const std::string text(70000, 't');  // a length beyond the 16 bits kept beside the offset
  const std::string cif = "data_a\n_q ;x\nloop_\n_v _w\n'it''s' \"q\"\n# note\n;" + text +
                          "\r\n;\n;\n;\n\n" + text + "\n;\n" + text + "\n;\n_p\n" + text + "\n";
  const CifSyntax s = cif_syntax_of(cif, "t.cif");
  ASSERT_EQ(s.blocks.size(), 1u);
  const CifBlock& b = s.blocks[0];
  ASSERT_EQ(b.pairs.size(), 2u);
  EXPECT_EQ(b.pairs[0].value, ";x");  // not at a line's start: no text field
  EXPECT_EQ(b.pairs[1].value.size(), text.size());
  const CifLoop& loop = b.loops.at(0);
  ASSERT_EQ(loop.length(), 3u);
  const std::pair<std::string, long> values[] = {{"it''s", 5}, {"q", 5},   {text, 7},
                                                 {"", 9},      {text, 12}, {"\n" + text, 13}};
  for (std::size_t i = 0; i < 6; ++i) {
    EXPECT_EQ(cif_text(loop.val(i / 2, i % 2)), values[i].first) << i;
    EXPECT_EQ(loop.line_of(i / 2, i % 2), values[i].second) << i;
  }
  EXPECT_EQ(loop.val(0, 0), "'it''s'");
  EXPECT_EQ(loop.val(1, 0).size(), text.size() + 4);  // ";" and "\r\n;"
}

// The store keeps a length below 65535 beside the offset and a longer one in
// a table; its values lie in a first chunk of 65536 and then chunks of
// 262144: every value keeps its own bytes across both boundaries.
TEST(CifSyntax, ValuesAcrossTheStoresBoundaries) {
  const std::string longs[] = {std::string(65534, 'a'), std::string(65535, 'b'),
                               std::string(65536, 'c'), "1"};
  std::string cif = "data_a\nloop_ _v\n";
  for (const std::string& v : longs) cif += v + "\n";
  const std::size_t rows = 65536 + 2 * 262144 + 3;
  cif += "loop_ _n\n";
  for (std::size_t i = 0; i < rows; ++i) cif += std::to_string(i) + "\n";
  const CifSyntax s = cif_syntax_of(cif, "t.cif");
  const CifLoop& first = s.blocks.at(0).loops.at(0);
  ASSERT_EQ(first.length(), 4u);
  for (std::size_t i = 0; i < 4; ++i) EXPECT_EQ(first.val(i, 0), longs[i]) << i;
  const CifLoop& numbers = s.blocks.at(0).loops.at(1);
  ASSERT_EQ(numbers.length(), rows);
  std::size_t wrong = 0;
  for (std::size_t i = 0; i < rows; ++i) wrong += numbers.val(i, 0) != std::to_string(i);
  EXPECT_EQ(wrong, 0u);
  EXPECT_EQ(numbers.line_of(rows - 1, 0), static_cast<long>(8 + rows - 1));
}

}  // namespace
}  // namespace sfconv
