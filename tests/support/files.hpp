// Test support: a temporary directory per test, files in and out of it, and
// runs of the real sfconv binary.
#pragma once

#include <sys/wait.h>

#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>

namespace sfconv::test {

class TempDir {
 public:
  explicit TempDir(const std::filesystem::path& in = std::filesystem::temp_directory_path()) {
    std::string pattern = (in / "sfconv-test-XXXXXX").string();
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

 private:
  std::filesystem::path path_;
};

inline std::string read_file(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + path.string());
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

struct RunResult {
  int status = -1;
  std::string out;  // standard output
  std::string err;  // standard error
};

// Runs sfconv in `dir` with the given arguments (shell words), after the
// shell commands of `before` (a umask, say) and behind `wrapper` (a command
// that runs its arguments as another user, say). Commands that `before` left
// in the background are waited for.
inline RunResult run_sfconv(const TempDir& dir, const std::string& args,
                            const std::string& before = "", const std::string& wrapper = "") {
  TempDir io;
  std::string command = "cd '" + dir.path().string() + "' && (" + before + " " + wrapper + " '" +
                        SFCONV_BINARY "' " + args + "; s=$?; wait; exit $s) >'" + io / "out" +
                        "' 2>'" + io / "err" + "'";
  int raw = std::system(command.c_str());
  return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, read_file(io / "out"), read_file(io / "err")};
}

// A test name made of a case's path: anything but letters and digits as '_'.
inline std::string param_name(std::string name) {
  for (char& c : name) {
    if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
  }
  return name;
}

}  // namespace sfconv::test
