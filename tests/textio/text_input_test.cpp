// Text records: line feeds, carriage returns, tabs, the last line, long lines,
// at every size of the read buffer.
#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/files.hpp"
#include "textio/text_input.hpp"

namespace sfconv {
namespace {

using Records = std::vector<std::string>;

Records records_of(const std::string& bytes) {
  test::TempDir dir;
  TextInput in(dir.write("f.txt", bytes), 1);
  Records out;
  for (std::string_view r; in.next(r);) out.emplace_back(r);
  return out;
}

TEST(TextRecords, LineFeedsCarriageReturnsAndTabs) {
  EXPECT_EQ(records_of("a\nbc\n\nd\n"), (Records{"a", "bc", "", "d"}));
  EXPECT_EQ(records_of("a\r\nb\r\n"), (Records{"a", "b"}));
  EXPECT_EQ(records_of("a\rb\r\r\n"), (Records{"ab"}));
  // the last line without a line feed is no record
  EXPECT_EQ(records_of("a\nlast"), (Records{"a"}));
  EXPECT_EQ(records_of("only"), Records{});
  // tab stops every eight columns; a carriage return takes no column
  EXPECT_EQ(records_of("a\tb\n\t12\n"), (Records{"a       b", "        12"}));
  EXPECT_EQ(records_of("1234567\tx\n12345678\ty\n"), (Records{"1234567 x", "12345678        y"}));
  EXPECT_EQ(records_of("a\r\tb\n"), (Records{"a       b"}));
}

// The record a line's bytes make, whole: carriage returns dropped, tabs
// expanded. The stream keeps its first kKeep columns.
std::string model_record(std::string_view raw) {
  std::string out;
  for (char c : raw) {
    if (c == '\t') {
      out.append(8 - out.size() % 8, ' ');
    } else if (c != '\r') {
      out.push_back(c);
    }
  }
  return out;
}

// Lines of every kind: short and clean, with CRs and tabs, longer than the
// kept columns and than the buffer, tabs across the kept columns' end.
std::vector<std::string> mixed_lines() {
  std::vector<std::string> lines;
  std::uint32_t seed = 12345;
  auto next = [&seed] { return seed = seed * 1103515245u + 12345u; };
  const char alphabet[] = "ab \t\r#1";
  for (int i = 0; i < 300; ++i) {
    std::size_t length = next() % 7 == 0 ? 4000 + next() % 300 : next() % 90;
    if (i % 50 == 7) length = 70000;
    std::string line;
    for (std::size_t k = 0; k < length; ++k) line.push_back(alphabet[next() % 7]);
    lines.push_back(line);
  }
  lines.push_back(std::string(5000, '\r') + "x");  // only CRs beyond the kept columns
  lines.push_back(std::string(4095, 'y') + "\t");  // a tab in the last kept column
  return lines;
}

TEST(TextRecords, EachRecordKeepsItsFirstColumnsAtAnyBufferSize) {
  const std::vector<std::string> lines = mixed_lines();
  std::string bytes;
  for (const auto& l : lines) bytes += l + "\n";
  for (std::size_t size : {16u, 17u, 100u, 4096u, 1u << 18}) {
    set_text_buffer_size(size);
    test::TempDir dir;
    TextInput in(dir.write("f.txt", bytes), 1);
    set_text_buffer_size(1u << 18);
    for (std::size_t i = 0; i < lines.size(); ++i) {
      std::string whole = model_record(lines[i]);
      std::string_view r;
      ASSERT_TRUE(in.next(r)) << "buffer " << size << ", line " << i;
      ASSERT_EQ(r, whole.substr(0, TextInput::kKeep)) << "buffer " << size << ", line " << i;
      ASSERT_EQ(in.cut(), whole.size() > TextInput::kKeep) << "buffer " << size << ", line " << i;
    }
    std::string_view r;
    EXPECT_FALSE(in.next(r));
  }
}

// FullProf's second pass resumes just after the last cycle marker.
TEST(TextRecords, SeekResumesAtARecordWithItsLineNumber) {
  std::string bytes;
  for (const auto& l : mixed_lines()) bytes += l + "\n";
  set_text_buffer_size(64);
  test::TempDir dir;
  TextInput in(dir.write("f.txt", bytes), 1);
  set_text_buffer_size(1u << 18);
  std::string_view r;
  for (int i = 0; i < 120; ++i) ASSERT_TRUE(in.next(r));
  const std::uint64_t at = in.offset();
  ASSERT_TRUE(in.next(r));
  const std::string after(r);
  while (in.next(r)) {
  }
  in.seek(at, 120);
  ASSERT_TRUE(in.next(r));
  EXPECT_EQ(r, after);
  EXPECT_EQ(in.line(), 121);
}

}  // namespace
}  // namespace sfconv
