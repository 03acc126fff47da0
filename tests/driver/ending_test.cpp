// How main ends a run: each way out of it, an exception sfconv does not throw
// itself included, gives its status and report instead of ending the process.
#include <functional>
#include <new>
#include <stdexcept>
#include <string>
#include <utility>

#include <gtest/gtest.h>

#include "run/report.hpp"
#include "run/run_state.hpp"

namespace sfconv {
namespace {

TEST(Ending, EveryWayOutOfARun) {
  struct Case {
    std::function<void()> body;
    int status;
    std::string out, err;
  };
  const Case cases[] = {
      {[] {}, 0, "", ""},
      {[] { stop(" IAMP should be 0 or 1", "p.txt, line 5: IAMP is 2"); }, 1,
       " IAMP should be 0 or 1\n", "sfconv: p.txt, line 5: IAMP is 2\n"},
      {[] {
         under_way("READ", 1, "reading run.lst");
         throw std::bad_alloc();
       },
       2, "", "sfconv: out of memory while reading run.lst\nstd::bad_alloc\n? READ(UNIT=1,...\n"},
      {[] {
         under_way("WRITE", 4, "writing run.sf");
         throw std::invalid_argument("A edit for a number");
       },
       2, "",
       "sfconv: internal error while writing run.sf\nA edit for a number\n? WRITE(UNIT=4,...\n"},
  };
  for (const Case& c : cases) {
    Ending e = ending_of(c.body);
    EXPECT_EQ(e.status, c.status) << c.err;
    EXPECT_EQ(e.out, c.out);
    EXPECT_EQ(e.err, c.err);
  }
}

// What a terminal could obey is shown as \xHH; UTF-8 text and backslashes
// stay as they are.
TEST(Ending, MessagesShowControlBytesEscaped) {
  const std::pair<std::string, std::string> cases[] = {
      {"plain \\ text", "plain \\ text"},
      {std::string("a\0b", 3), "a\\x00b"},
      {"\t\n\r\x1b]0;x\x07\x1f\x7f", "\\x09\\x0a\\x0d\\x1b]0;x\\x07\\x1f\\x7f"},
      {"\xc2\x9b"
       "2J \xc2\x80\xc2\x9f",
       "\\xc2\\x9b"
       "2J \\xc2\\x80\\xc2\\x9f"},                           // C1 controls
      {"\xc3\xa9 \xc2\xa0 \xc2", "\xc3\xa9 \xc2\xa0 \xc2"},  // text, a lone lead byte
  };
  for (const auto& [in, shown] : cases) EXPECT_EQ(printable(in), shown) << in;
}

// The limit stands in six columns, the default 2000 and the largest alike.
TEST(Ending, TheReflectionLimitInItsField) {
  const std::pair<std::int32_t, const char*> cases[] = {
      {1, "     1"}, {2000, "  2000"}, {kMostMaxReflections, " 99999"}};
  for (auto [limit, field] : cases) {
    MAXREF = limit;
    Ending e = ending_of([] { stop_too_many_reflections("x"); });
    EXPECT_EQ(e.out, cat(" The number of reflections is greater than", field, '\n'));
  }
  MAXREF = kDefaultMaxReflections;
}

}  // namespace
}  // namespace sfconv
