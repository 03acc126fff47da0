// The space-group line (the table in editing/space_group.txt), what a line
// read in the place of another looks like (editing/parameter_lines.txt), and
// which kinds of line it could be (editing/parameter_kinds.txt).
#include <string>

#include <gtest/gtest.h>

#include "driver/read_data.hpp"
#include "run/run_state.hpp"
#include "support/files.hpp"
#include "textio/editing_table.hpp"
#include "textio/failure.hpp"
#include "textio/parameters.hpp"
#include "textio/report.hpp"

namespace sfconv {
namespace {

TEST(Parameters, EverySpaceGroupLineOfTheTable) {
  auto cases = test::editing_table("space_group.txt");
  ASSERT_GT(cases.size(), 15u);
  test::TempDir dir;
  for (const test::EditingCase& c : cases) {
    reset_run_state();
    TextInput in(dir.write("p.txt", "title\n" + c.format + "\n1\n1 1 1\n0\n1\n1\n1\n1\n"), 5);
    std::string got;
    try {
      read_data_gsas_fullprof(in);
      got = std::string(CDATA.VOL.view()) + " " + std::to_string(IDATA.SPG) + " " +
            std::to_string(IDATA.SET);
    } catch (const RecognisedStop& stop) {
      got = stop.where.substr(stop.where.find("line 2: ") + 8);
    } catch (const IoFailure& failure) {
      got = failure.message;
    }
    EXPECT_EQ(got, c.rest.empty() ? c.first : c.first + " " + c.rest)
        << "space_group.txt line " << c.line;
  }
}

// Where the 70th byte of the title falls inside a UTF-8 character of two,
// three or four bytes, and what the warning says was left out.
TEST(Parameters, TheTitleCutNeverSplitsACharacter) {
  auto cases = test::editing_table("title_cut.txt");
  ASSERT_GT(cases.size(), 15u);
  test::TempDir dir;
  const std::string warned = "left out: \"";
  for (const test::EditingCase& c : cases) {
    reset_run_state();
    const std::size_t n = std::stoul(c.format);
    const std::string title = std::string(n, 'x') + c.first;
    TextInput in(dir.write("p.txt", title + "\nP 1\n1\n1 1 1\n0\n1\n1\n1\n1\n"), 5);
    read_data_gsas_fullprof(in);
    const std::string kept(CDATA.TITLE.view());
    EXPECT_EQ(kept.substr(0, n), std::string(n, 'x')) << "title_cut.txt line " << c.line;
    const std::size_t bar = c.rest.find('|');
    EXPECT_EQ(kept.substr(n), c.rest.substr(0, bar)) << "title_cut.txt line " << c.line;
    std::string left = "-";
    for (const std::string& w : REPORT.warnings) {
      const std::size_t at = w.find(warned);
      if (at != std::string::npos)
        left = w.substr(at + warned.size(), w.size() - at - warned.size() - 1);
    }
    EXPECT_EQ(left, c.rest.substr(bar + 1)) << "title_cut.txt line " << c.line;
  }
}

TEST(Parameters, WhatALineReadInTheWrongPlaceLooksLike) {
  const ParameterLine* kinds[] = {&lines::E,         &lines::IAMP,  &lines::space_group,
                                  &lines::grid,      &lines::phase, &lines::angles,
                                  &lines::histogram, &lines::title};
  auto cases = test::editing_table("parameter_lines.txt");
  ASSERT_GT(cases.size(), 20u);
  for (const test::EditingCase& c : cases) {
    if (c.first == "placeholder") {
      EXPECT_EQ(holds_placeholder(c.format) ? "yes" : "no", c.rest) << "line " << c.line;
      continue;
    }
    const ParameterLine* kind = nullptr;
    for (const ParameterLine* k : kinds) {
      if (k->name == c.first) kind = k;
    }
    ASSERT_NE(kind, nullptr) << "parameter_lines.txt line " << c.line;
    EXPECT_EQ(looks_like(c.format, *kind), c.rest) << "parameter_lines.txt line " << c.line;
  }
}

TEST(Parameters, WhatALineCouldBeAndLooksLike) {
  auto cases = test::editing_table("parameter_kinds.txt");
  ASSERT_GT(cases.size(), 30u);
  for (const test::EditingCase& c : cases) {
    const ParameterLine* kind = nullptr;
    for (const ParameterLine* k : lines::all) {
      if (k->name == c.first) kind = k;
    }
    ASSERT_NE(kind, nullptr) << "parameter_kinds.txt line " << c.line;
    const std::string yes = c.rest.substr(0, c.rest.find(' '));
    std::string look = c.rest.substr(c.rest.find_first_not_of(' ', yes.size()));
    EXPECT_EQ(could_be(c.format, *kind) ? "yes" : "no", yes)
        << "parameter_kinds.txt line " << c.line;
    EXPECT_EQ(line_shape(c.format), look == "-" ? "" : look)
        << "parameter_kinds.txt line " << c.line;
  }
}

}  // namespace
}  // namespace sfconv
