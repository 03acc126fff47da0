// Text records: line feeds, carriage returns, tabs, the last line, long lines.
#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/files.hpp"
#include "textio/edit.hpp"
#include "textio/failure.hpp"
#include "textio/text_input.hpp"

namespace sfconv {
namespace {

std::vector<std::string> records_of(const std::string& bytes) {
  test::TempDir dir;
  TextInput in(dir.write("f.txt", bytes), 1);
  std::vector<std::string> out;
  std::string_view r;
  while (in.next(r)) out.emplace_back(r);
  return out;
}

using Records = std::vector<std::string>;

TEST(TextRecords, LineFeedEndsARecordAndCarriageReturnsAreDropped) {
  EXPECT_EQ(records_of("a\nbc\n\nd\n"), (Records{"a", "bc", "", "d"}));
  EXPECT_EQ(records_of("a\r\nb\r\n"), (Records{"a", "b"}));
  EXPECT_EQ(records_of("a\rb\r\r\n"), (Records{"ab"}));
}

TEST(TextRecords, TheLastLineWithoutLineFeedIsNoRecord) {
  EXPECT_EQ(records_of("a\nlast"), (Records{"a"}));
  EXPECT_EQ(records_of("only"), Records{});
  EXPECT_EQ(records_of(""), Records{});
}

TEST(TextRecords, TabsExpandToStopsEveryEightColumns) {
  EXPECT_EQ(records_of("a\tb\n"), (Records{"a       b"}));
  EXPECT_EQ(records_of("\t12\n"), (Records{"        12"}));
  EXPECT_EQ(records_of("1234567\tx\n12345678\ty\n"), (Records{"1234567 x", "12345678        y"}));
  // a carriage return takes no column
  EXPECT_EQ(records_of("a\r\tb\n"), (Records{"a       b"}));
}

TEST(TextRecords, ColumnsAreCountedAfterTabExpansion) {
  test::TempDir dir;
  TextInput in(dir.write("f.txt", "\t12\n"), 1);
  std::int32_t n = 0;
  read(in, "(9X,I3)"_fmt, n);  // "12" stands in columns 9 and 10
  EXPECT_EQ(n, 2);
}

// The record a line's bytes make, whole: carriage returns dropped, tabs
// expanded. The stream keeps its first kKeep columns.
std::string model_record(std::string_view raw) {
  std::string out;
  for (char c : raw) {
    if (c == '\r') continue;
    if (c == '\t') {
      out.append(8 - out.size() % 8, ' ');
    } else {
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
  std::vector<std::string> lines = mixed_lines();
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

TEST(TextRecords, SeekResumesAtARecordWithItsLineNumber) {
  std::vector<std::string> lines = mixed_lines();
  std::string bytes;
  for (const auto& l : lines) bytes += l + "\n";
  set_text_buffer_size(64);
  test::TempDir dir;
  TextInput in(dir.write("f.txt", bytes), 1);
  set_text_buffer_size(1u << 18);
  std::string_view r;
  for (int i = 0; i < 120; ++i) ASSERT_TRUE(in.next(r));
  const std::uint64_t at = in.offset();
  const long line = in.line();
  ASSERT_TRUE(in.next(r));
  const std::string after(r);
  while (in.next(r)) {
  }
  in.seek(at, line);
  ASSERT_TRUE(in.next(r));
  EXPECT_EQ(r, after);
  EXPECT_EQ(in.line(), 121);
}

TEST(TextRecords, BytesWithoutAnyLineFeedAreSaidSo) {
  test::TempDir dir;
  for (std::size_t size : {16u, 1u << 18}) {
    set_text_buffer_size(size);
    TextInput in(dir.write("f.lst", std::string(1000, 'x')), 1);
    set_text_buffer_size(1u << 18);
    in.set_task("looking for \" Reduced CHI**2 =\"");
    std::string_view r;
    EXPECT_FALSE(in.next(r));
    try {
      in.fail_end_of_file();
    } catch (const IoFailure& f) {
      EXPECT_EQ(f.header, "sfconv: " + (dir / "f.lst") +
                              " holds no line feed: its 1000 bytes are no complete line"
                              " while looking for \" Reduced CHI**2 =\"");
    }
  }
}

TEST(TextRecords, RewindStartsAgainAtTheFirstRecord) {
  test::TempDir dir;
  TextInput in(dir.write("f.txt", "one\ntwo\n"), 1);
  std::string_view r;
  ASSERT_TRUE(in.next(r));
  ASSERT_TRUE(in.next(r));
  EXPECT_FALSE(in.next(r));
  EXPECT_EQ(in.line(), 2);
  in.rewind();
  EXPECT_EQ(in.line(), 0);
  ASSERT_TRUE(in.next(r));
  EXPECT_EQ(r, "one");
}

TEST(TextRecords, AReadStatementConsumesWholeRecords) {
  test::TempDir dir;
  TextInput in(dir.write("f.txt", "   1   2\n   3\n"), 1);
  std::int32_t a = 0, b = 0;
  read(in, "(I4)"_fmt, a);
  read(in, "(I4)"_fmt, b);  // the rest of the first record was skipped
  EXPECT_EQ(a, 1);
  EXPECT_EQ(b, 3);
  EXPECT_FALSE(read_or_end(in, "()"_fmt));
}

TEST(TextRecords, ReversionReadsOneRecordPerValue) {
  test::TempDir dir;
  TextInput in(dir.write("f.txt", "  5.431020\n  5.431020      9\n 13.0\n90.000000\n90\n120.\n"),
               1);
  std::array<float, 6> cell{};
  read(in, "(F15.6)"_fmt, cell);
  EXPECT_EQ(cell, (std::array<float, 6>{5.43102f, 5.43102f, 13.0f, 90.0f, 0.00009f, 120.0f}));
}

TEST(TextRecords, EndOfFileIsReportedWithTheFileAndLine) {
  test::TempDir dir;
  TextInput in(dir.write("data.lst", "x\n"), 1);
  in.set_task("looking for \" Reduced CHI**2 =\"");
  Text<50> line;
  read(in, "(A)"_fmt, line);
  try {
    read(in, "(A)"_fmt, line);
    FAIL() << "no failure";
  } catch (const IoFailure& f) {
    EXPECT_EQ(f.report(), "sfconv: " + (dir / "data.lst") +
                              " ended (line 1) while looking for \" Reduced CHI**2 =\"\n"
                              "Attempt to read past end of file\n? READ(UNIT=1,...\n");
  }
}

}  // namespace
}  // namespace sfconv
