// The syntax of a CIF file, read with GEMMI's grammar: the file's bytes, kept
// once, and its blocks of pairs and loops, each value a view into the bytes.
// C++17, for the reason cif_syntax.cpp gives.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace sfconv {

// The bytes of a CIF file and where each loop value stands in them: 8 bytes
// a value, 48 bits of offset (files up to 256 TiB) and 16 of length (a value
// of 65535 bytes or more, a long text field, keeps its length in a table of
// its own). The values are held in chunks, so that storing them never copies
// them and never asks for more room than one chunk beyond them.
class CifValues {
 public:
  static constexpr std::uint64_t kMostBytes = std::uint64_t{1} << 48;

  // Room for n bytes of the file, to be filled through data().
  explicit CifValues(std::size_t n);
  CifValues(const CifValues&) = delete;
  CifValues& operator=(const CifValues&) = delete;

  char* data() { return bytes_.get(); }
  void shrink(std::size_t n) { size_ = n < size_ ? n : size_; }  // fewer bytes came
  std::string_view bytes() const { return {bytes_.get(), size_}; }

  std::size_t size() const { return count_; }
  std::string_view operator[](std::size_t i) const {
    const std::uint64_t v = entry(i);
    std::size_t length = static_cast<std::size_t>(v & kLong);
    if (length == kLong) length = long_length(i);
    return {bytes_.get() + (v >> 16), length};
  }
  void push_back(std::size_t offset, std::size_t length) {
    if (count_ == room_) grow();
    if (length >= kLong) long_.emplace_back(count_, length);
    entry(count_) = std::uint64_t{offset} << 16 | (length < kLong ? length : kLong);
    ++count_;
  }

 private:
  struct Free {
    void operator()(void* p) const { std::free(p); }
  };
  template <typename T>
  using Memory = std::unique_ptr<T[], Free>;

  // The first chunk in ordinary pages (most files need no more), each
  // further one 2 MiB, a page of its own where the system has such pages.
  static constexpr std::size_t kFirst = std::size_t{1} << 16;
  static constexpr unsigned kChunkBits = 18;
  static constexpr std::size_t kChunk = std::size_t{1} << kChunkBits;
  static constexpr std::uint64_t kLong = 0xFFFF;

  std::uint64_t& entry(std::size_t i) const {
    if (i < kFirst) return first_[i];
    i -= kFirst;
    return chunks_[i >> kChunkBits][i & (kChunk - 1)];
  }
  void grow();
  std::size_t long_length(std::size_t i) const;

  Memory<char> bytes_;
  std::size_t size_ = 0;
  Memory<std::uint64_t> first_;
  std::vector<Memory<std::uint64_t>> chunks_;
  std::size_t count_ = 0, room_ = 0;
  std::vector<std::pair<std::size_t, std::size_t>> long_;  // value index, length
};

// A tag and its value, as written (quotes and text-field marks included).
struct CifPair {
  std::string_view tag, value;
  long line = 0;  // of the tag
};

struct CifLoop {
  std::vector<std::string> tags;
  long line = 0;  // of loop_

  std::size_t width() const { return tags.size(); }
  std::size_t length() const { return tags.empty() ? 0 : count / tags.size(); }
  std::string_view val(std::size_t row, std::size_t column) const {
    return (*values)[first + row * tags.size() + column];
  }
  // Counted from loop_ when asked for: a message needs it, a row does not.
  long line_of(std::size_t row, std::size_t column) const;

  const CifValues* values = nullptr;
  std::size_t first = 0;   // of its values in `values`
  std::size_t count = 0;   // its values
  std::size_t offset = 0;  // of loop_ in the bytes
};

// A data block; what its save frames hold is left out.
struct CifBlock {
  std::string name;  // without "data_"
  std::vector<CifPair> pairs;
  std::vector<CifLoop> loops;  // in file order
  long line = 0;               // of its heading
};

// A repetition the reader can live with, where GEMMI's document refuses the
// file: a tag in two loops of one block (the COD puts two banks' loops in
// one block), or a block name given twice (two files joined).
struct CifRepeat {
  std::string tag;    // the tag as written; empty for a repeated block name
  std::string block;  // the block's name, without "data_"
  long line = 0;      // where it is repeated: the loop_ or data_ line
  long first = 0;     // where it stood first: the loop_ or data_ line
};

struct CifSyntax {
  std::vector<CifBlock> blocks;
  std::vector<CifRepeat> repeats;  // in file order
  // Tags read with a value glued to them (FullProf's slip): the tag as
  // mended, its value and line.
  std::vector<CifPair> mended;
  // The bytes and values that the views of blocks and mended point into.
  std::shared_ptr<const CifValues> values;
};

// What GEMMI's grammar refused, and where (0 when it does not say).
struct CifSyntaxError {
  long line = 0, column = 0;
  std::string message;
};

// A read that failed: the errno of the system's reason.
struct CifReadError {
  int error = 0;
};

// Reads the whole stream `file` (of a file named `name`) and parses it;
// throws CifReadError or CifSyntaxError.
CifSyntax read_cif_syntax(std::FILE* file, const std::string& name);
// The same for bytes in memory (tests, fuzzing), which are copied.
CifSyntax cif_syntax_of(std::string_view bytes, const std::string& name);

// '?' (unknown) or '.' (not applicable).
bool cif_null(std::string_view raw);

// A value as text: without its quotes or text-field marks ("" for '?' and '.').
std::string_view cif_unquoted(std::string_view raw);
std::string cif_text(std::string_view raw);

}  // namespace sfconv
