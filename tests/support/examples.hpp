// Test support: the bundled examples, copied into a temporary directory with a
// parameter file that names the files there.
#pragma once

#include <filesystem>
#include <functional>
#include <string>

#include "support/files.hpp"

namespace sfconv::test {

// Copies examples/NAME/ into `dir` with a parameter file that names the files
// there and writes out.sf; `edit` changes the parameter file first. Returns
// the example's expected output.
inline std::string example(const TempDir& dir, const std::string& name,
                           const std::function<void(std::string&)>& edit = {}) {
  namespace fs = std::filesystem;
  const fs::path from = fs::path(SFCONV_EXAMPLES) / name;
  for (const auto& e : fs::directory_iterator(from)) {
    fs::copy(e.path(), dir.path() / e.path().filename(), fs::copy_options::overwrite_existing);
  }
  std::string params = read_file((from / "params.txt").string());
  auto replace_all = [&params](const std::string& a, const std::string& b) {
    for (std::size_t at = params.find(a); at != std::string::npos; at = params.find(a, at)) {
      params.replace(at, a.size(), b);
      at += b.size();
    }
  };
  replace_all("examples/" + name + "/", "");
  for (const char* out : {"build/nacl.sf", "build/nacl-xray.sf", "build/silicon.sf"}) {
    replace_all(out, "out.sf");
  }
  if (edit) edit(params);
  dir.write("params.txt", params);
  return read_file((from / "expected.sf").string());
}

// Replaces the first line of `params` that begins with `start`.
inline void replace_line(std::string& params, const std::string& start, const std::string& by) {
  std::size_t at = params.find("\n" + start) + 1;
  ASSERT_NE(at, 0u) << start;
  params.replace(at, params.find('\n', at) - at, by);
}

}  // namespace sfconv::test
