// The hint a report adds for a parameter file with a line missing, extra or
// wrong (the table in editing/parameter_hints.txt), and the refinement files
// told by their head when given for the parameter file.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "driver/driver.hpp"
#include "driver/refinement_file.hpp"
#include "run/run_state.hpp"
#include "support/files.hpp"
#include "textio/editing_table.hpp"
#include "textio/failure.hpp"

namespace sfconv {
namespace {

TEST(Hints, EveryParameterFileOfTheTable) {
  auto cases = test::editing_table("parameter_hints.txt");
  ASSERT_GT(cases.size(), 15u);
  for (const test::EditingCase& c : cases) {
    reset_run_state();
    test::TempDir dir;
    std::string text = c.format;
    for (char& ch : text) ch = ch == '|' ? '\n' : ch;
    const std::string name = dir.write("p.txt", text.empty() ? text : text + "\n");
    std::string how = "ran", hint;
    try {
      run(name);
    } catch (const RecognisedStop& stop) {
      how = "stop";
      hint = stop.hint;
    } catch (const IoFailure& failure) {
      how = "fail";
      hint = failure.hint;
    }
    for (std::size_t at; (at = hint.find(name)) != std::string::npos;)
      hint.replace(at, name.size(), "p.txt");
    EXPECT_EQ(how, c.first) << "parameter_hints.txt line " << c.line;
    EXPECT_EQ(hint, c.rest) << "parameter_hints.txt line " << c.line;
  }
}

// The head of a file, its first significant line and those after it (as the
// parameter file's reader returns them), and what it shows the file to be.
TEST(Hints, RefinementFilesToldByTheirHead) {
  struct Case {
    std::vector<std::string> lines;
    std::string kind;
  };
  using namespace std::string_literals;
  const Case cases[] = {
      {{"data_ALUMINA_publ", "_pd_block_id 2001-01-01|ALUMINA|x|"}, "a CIF file"},
      {{"DATA_global", "loop_"}, "a CIF file"},
      // a name that begins like a data block, in a parameter file
      {{"data_x", "out.sf", "title"}, ""},
      {{"data_x.cif", "out.sf"}, ""},
      {{"1 NaCl, Cu Ka1   EXPEDT   Version Linux    Fri Dec 06 2024 Page   1"}, "a GSAS listing"},
      {{"1 run.out"}, ""},
      {{"****", "General Structure Analysis System-II Crystal Structure Refinement"},
       "a GSAS-II listing"},
      {{"****", "** PROGRAM FullProf.2k (Version 7.95 - Jan2023-ILL JRC) **"}, "a FullProf output"},
      {{"=> PCR file code: silicon"}, "a FullProf output"},
      {{"Phase no.:   1 Tb2BaCoO5", "0   0   2     35.0188"}, "FullProf's second file"},
      {{"Phase No.:   1 si"}, "FullProf's second file"},
      {{"\0\0\0FNaCl rock salt"s}, "a KOLMEX reflection file"},
      {{"F\0\0\0NaCl rock salt"s}, "a KOLMEX reflection file"},
      {{"\0\0\0\0"s}, ""},
      {{"\x01\0\0\x01 no record is that long"s}, ""},
      {{"nacl.fos\0x"s}, ""},
      {{"run.lst", "out.sf"}, ""},
  };
  for (const Case& c : cases) {
    const std::vector<std::string> more(c.lines.begin() + 1, c.lines.end());
    EXPECT_EQ(refinement_file_kind(c.lines[0], more), c.kind) << c.lines[0];
  }
}

}  // namespace
}  // namespace sfconv
