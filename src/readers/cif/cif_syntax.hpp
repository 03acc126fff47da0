// The syntax of a CIF file, read by GEMMI into plain blocks of pairs and
// loops, each value with its line. C++17, for the reason cif_syntax.cpp gives.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace sfconv {

// A tag and its value, as written (quotes and text-field marks included).
struct CifPair {
  std::string tag, value;
  long line = 0;  // of the tag
};

struct CifLoop {
  std::vector<std::string> tags;
  std::vector<std::string> values;   // row by row
  std::vector<std::uint32_t> lines;  // of each value
  long line = 0;                     // of loop_

  std::size_t width() const { return tags.size(); }
  std::size_t length() const { return tags.empty() ? 0 : values.size() / tags.size(); }
  std::string_view val(std::size_t row, std::size_t column) const {
    return values[row * tags.size() + column];
  }
  long line_of(std::size_t row, std::size_t column) const {
    return lines[row * tags.size() + column];
  }
};

// A data block; what its save frames hold is left out.
struct CifBlock {
  std::string name;  // without "data_"
  std::vector<CifPair> pairs;
  std::vector<CifLoop> loops;  // in file order
};

// A repetition the reader can live with, where GEMMI's document refuses the
// file: a tag in two loops of one block (the COD puts two banks' loops in
// one block), or a block name given twice (two files joined).
struct CifRepeat {
  std::string tag;    // the tag as written; empty for a repeated block name
  std::string block;  // the block's name, without "data_"
  long line = 0;      // where it is repeated
  long first = 0;     // where it stood first
};

struct CifSyntax {
  std::vector<CifBlock> blocks;
  std::vector<CifRepeat> repeats;  // in file order
  // Tags read with a value glued to them (FullProf's slip): the tag as
  // mended, its value and line.
  std::vector<CifPair> mended;
};

// What GEMMI refused, and where (0 when it does not say).
struct CifSyntaxError {
  long line = 0, column = 0;
  std::string message;
};

// Parses the bytes of a CIF file named `name`; throws CifSyntaxError.
CifSyntax read_cif_syntax(const std::string& bytes, const std::string& name);

// '?' (unknown) or '.' (not applicable).
bool cif_null(std::string_view raw);

// A value as text: without its quotes or text-field marks ("" for '?' and '.').
std::string cif_text(std::string_view raw);

}  // namespace sfconv
