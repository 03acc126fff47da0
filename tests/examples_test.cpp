// The bundled examples: each converts to the output committed beside it, run
// as the README runs it (from the repository root).
#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "support/files.hpp"

namespace sfconv {
namespace {

namespace fs = std::filesystem;

const std::string kExamples = SFCONV_EXAMPLES;

// Copies examples/<name>/ into a scratch root with an empty build/, runs
// sfconv there on its params.txt and returns the output file `output`.
std::string convert_example(const std::string& name, const std::string& output) {
  test::TempDir root;
  fs::create_directories(root.path() / "examples");
  fs::create_directories(root.path() / "build");
  fs::copy(kExamples + "/" + name, root.path() / "examples" / name, fs::copy_options::recursive);
  test::RunResult r = test::run_sfconv(root, "examples/" + name + "/params.txt");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "");
  return test::read_file(root / output);
}

TEST(Examples, EachConvertsToTheOutputCommittedBesideIt) {
  EXPECT_EQ(convert_example("kolmex", "build/nacl.sf"),
            test::read_file(kExamples + "/kolmex/expected.sf"));
  EXPECT_EQ(convert_example("gsas", "build/nacl-xray.sf"),
            test::read_file(kExamples + "/gsas/expected.sf"));
  EXPECT_EQ(convert_example("fullprof", "build/silicon.sf"),
            test::read_file(kExamples + "/fullprof/expected.sf"));
}

}  // namespace
}  // namespace sfconv
