// Whole conversions described as data. Each directory under tests/cases/ that
// holds a params.txt is one case (listed at build time in case_list.hpp), run as `sfconv
// params.txt` in a scratch copy of the directory:
//   expected.sf   what the run must write as out.sf; without it, no out.sf
//                 may be made (an out.sf among the inputs must stay as it is)
//   expected.out  standard output (without it: nothing)
//   expected.err  standard error (without it: nothing)
// The exit status must be 2 when expected.err is an error report (its last
// line "? READ(UNIT=...", say), else 0 when expected.sf is given, else 1 (a
// recognised stop).
// No other file may appear or change: an ended run leaves nothing behind.
#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "case_list.hpp"
#include "support/files.hpp"

namespace sfconv {
namespace {

namespace fs = std::filesystem;

const fs::path kCases = SFCONV_CASES;

std::vector<std::string> all_cases() {
  return {std::begin(kCaseList), std::end(kCaseList)};
}

std::string optional_file(const fs::path& p) {
  return fs::exists(p) ? test::read_file(p.string()) : "";
}

// An error report ends with the statement line "? READ(UNIT=1,...".
bool is_error_report(const std::string& err) {
  std::size_t last = err.rfind('\n', err.size() >= 2 ? err.size() - 2 : 0);
  std::string_view line = std::string_view(err).substr(last == std::string::npos ? 0 : last + 1);
  return line.starts_with("? ");
}

class Case : public testing::TestWithParam<std::string> {};

TEST_P(Case, GivesWhatItExpects) {
  const fs::path source = kCases / GetParam();
  test::TempDir dir;
  std::vector<std::pair<std::string, std::string>> inputs;  // name, contents
  for (const auto& e : fs::directory_iterator(source)) {
    std::string name = e.path().filename().string();
    if (name.starts_with("expected.")) continue;
    fs::copy(e.path(), dir.path() / name);
    inputs.emplace_back(name, test::read_file(e.path().string()));
  }

  test::RunResult r = test::run_sfconv(dir, "params.txt");
  const std::string err = optional_file(source / "expected.err");
  const bool writes = fs::exists(source / "expected.sf");
  EXPECT_EQ(r.status, is_error_report(err) ? 2 : writes ? 0 : 1);
  EXPECT_EQ(r.out, optional_file(source / "expected.out"));
  EXPECT_EQ(r.err, err);
  if (writes) {
    ASSERT_TRUE(dir.exists("out.sf")) << "no out.sf written";
    EXPECT_EQ(test::read_file(dir / "out.sf"), test::read_file((source / "expected.sf").string()));
  }
  std::vector<std::string> names;
  for (const auto& input : inputs) names.push_back(input.first);
  if (writes && std::find(names.begin(), names.end(), "out.sf") == names.end()) {
    names.push_back("out.sf");
  }
  std::sort(names.begin(), names.end());
  std::string expected_listing;
  for (const auto& n : names) expected_listing += n + "\n";
  EXPECT_EQ(dir.listing(), expected_listing) << "files made or left behind";
  for (const auto& [name, contents] : inputs) {
    if (!(writes && name == "out.sf")) {
      EXPECT_EQ(test::read_file(dir / name), contents) << name;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, Case, testing::ValuesIn(all_cases()),
                         [](const testing::TestParamInfo<std::string>& info) {
                           return test::param_name(info.param);
                         });

}  // namespace
}  // namespace sfconv
