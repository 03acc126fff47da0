// The parameter file's line reader: blank lines, comments, left adjustment.
#include <string>
#include <utility>

#include <gtest/gtest.h>

#include "support/files.hpp"
#include "textio/failure.hpp"
#include "textio/readline.hpp"

namespace sfconv {
namespace {

// The significant lines of `bytes`, each as readline returns it with length 20.
std::vector<std::string> significant(const std::string& bytes, int count) {
  test::TempDir dir;
  TextInput in(dir.write("p.txt", bytes), 5);
  std::vector<std::string> out;
  for (int i = 0; i < count; ++i) {
    Text<20> buf;
    readline(in, buf);
    out.emplace_back(buf.view());
  }
  return out;
}

std::string pad(std::string s) {
  return s + std::string(20 - s.size(), ' ');
}

TEST(Readline, SkipsBlankAndCommentLinesAndCutsTrailingComments) {
  EXPECT_EQ(significant("\n    \n  # note\n   2.5   # lambda\n", 1),
            (std::vector<std::string>{pad("2.5   ")}));
  EXPECT_EQ(significant("#\n   #\n##x\nx#y\nx #y\n", 2),
            (std::vector<std::string>{pad("x"), pad("x")}));
}

TEST(Readline, TabsCountAsBlanks) {
  EXPECT_EQ(significant("\t\t\n\t# comment\n\tvalue\n", 1),
            (std::vector<std::string>{pad("value")}));
}

TEST(Readline, CarriageReturnsAreNotPartOfTheLine) {
  EXPECT_EQ(significant("a.lst\r\n\r\n  # c\r\nb.fos # out\r\n", 2),
            (std::vector<std::string>{pad("a.lst"), pad("b.fos ")}));
}

TEST(Readline, LongLinesAreCutBeforeTheCommentTest) {
  // 600 blanks before the value: the 20 columns are blank, the line is skipped
  EXPECT_EQ(significant(std::string(600, ' ') + "lost\nkept\n", 1),
            (std::vector<std::string>{pad("kept")}));
  // a '#' beyond column 20 has no effect
  EXPECT_EQ(significant("0123456789012345678901#\n", 1),
            (std::vector<std::string>{"01234567890123456789"}));
}

// What the cut at column 20 leaves out: the record's text after column 20 up
// to a '#', measured on the record before left adjustment.
TEST(Readline, TellsWhatTheCutLeftOut) {
  const std::pair<std::string, std::string> cases[] = {
      {"01234567890123456789", ""},          {"01234567890123456789   # only blanks beyond", ""},
      {"0123456789012345678#9 comment", ""}, {"01234567890123456789left out  #x", "left out"},
      {"   01234567890123456789", "789"},  // leading blanks count
  };
  for (const auto& [line, left_out] : cases) {
    test::TempDir dir;
    TextInput in(dir.write("p.txt", line + "\n"), 5);
    Text<20> buf;
    std::string beyond = "stale";
    readline(in, buf, "title", &beyond);
    EXPECT_EQ(beyond, left_out) << line;
  }
}

}  // namespace
}  // namespace sfconv
