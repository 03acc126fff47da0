// Test support: a temporary directory per test, files in and out of it, and
// runs of the real sfconv binary.
#pragma once

#include <cctype>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

namespace sfconv::test {

class TempDir {
 public:
  TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "sfconv-test-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
  }
  ~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& path() const { return path_; }
  std::string operator/(const std::string& name) const { return (path_ / name).string(); }

  // Writes bytes exactly as given.
  std::string write(const std::string& name, const std::string& bytes) const {
    std::string p = *this / name;
    std::ofstream(p, std::ios::binary) << bytes;
    return p;
  }
  bool exists(const std::string& name) const { return std::filesystem::exists(path_ / name); }
  // Names of all files in the directory, sorted, one per line.
  std::string listing() const;

 private:
  std::filesystem::path path_;
};

inline std::string read_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + path);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline std::string TempDir::listing() const {
  std::vector<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(path_)) {
    names.push_back(e.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  std::string out;
  for (const auto& n : names) out += n + "\n";
  return out;
}

struct RunResult {
  int status = -1;
  std::string out;  // standard output
  std::string err;  // standard error
};

// Runs sfconv in `dir` with the given arguments (already quoted for the
// shell), after the shell commands of `setup` (limits, say).
inline RunResult run_sfconv(const TempDir& dir, const std::string& args,
                            const std::string& setup = "") {
  std::string command = "cd '" + dir.path().string() + "' && (" + setup + " '" SFCONV_BINARY "' " +
                        args + ") >.stdout 2>.stderr";
  int raw = std::system(command.c_str());
  RunResult r;
  r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  r.out = read_file(dir / ".stdout");
  r.err = read_file(dir / ".stderr");
  std::filesystem::remove(dir.path() / ".stdout");
  std::filesystem::remove(dir.path() / ".stderr");
  return r;
}

// A test name made of a case's path: anything but letters and digits as '_'.
inline std::string param_name(std::string name) {
  for (char& c : name) {
    if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
  }
  return name;
}

// The second and third lines of an error report (the first is free wording).
inline std::string report_tail(const std::string& err) {
  auto nl = err.find('\n');
  return nl == std::string::npos ? err : err.substr(nl + 1);
}

}  // namespace sfconv::test
