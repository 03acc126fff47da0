// Text records: line feeds, carriage returns, tabs, the last line, long lines.
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

TEST(TextRecords, RecordsHaveNoLengthLimit) {
  std::string huge(1'000'000, 'x');
  huge[999'999] = 'y';
  Records r = records_of("a\n" + huge + "\nb\n");
  ASSERT_EQ(r.size(), 3u);
  EXPECT_EQ(r[1], huge);
  EXPECT_EQ(r[2], "b");
}

TEST(TextRecords, CleanAndFixedLinesMixedAcrossBufferRefills) {
  std::string bytes;
  for (int i = 0; i < 60000; ++i) {
    bytes += i % 3 == 0 ? "a\tb\r\n" : i % 3 == 1 ? "plain line\n" : "c\rr\n";
  }
  Records r = records_of(bytes);
  ASSERT_EQ(r.size(), 60000u);
  for (int i = 0; i < 60000; ++i) {
    ASSERT_EQ(r[i], i % 3 == 0 ? "a       b" : i % 3 == 1 ? "plain line" : "cr") << i;
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
