// Whole runs of sfconv described as data. Each directory under tests/cases/
// with a params.txt or a case file is one run in a scratch copy of the
// directory; tests/cases/README.md says what the files of a case state.
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <map>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "case_list.hpp"
#include "support/files.hpp"

namespace sfconv {
namespace {

namespace fs = std::filesystem;

// One entry of a directory, links not followed: its kind, permission bits
// and what it holds (a link: what it names).
struct Entry {
  std::string kind;
  unsigned mode = 0;
  std::string data;
};
using Snapshot = std::map<std::string, Entry>;

// `other`, a directory the scratch directory reaches through a link, is
// recorded as if it were in it, under `other_name`.
Snapshot snapshot(const fs::path& dir, const fs::path& other = {},
                  const std::string& other_name = "") {
  Snapshot s;
  std::vector<std::pair<fs::path, fs::path>> entries;  // the path, its name in the snapshot
  for (const auto& e : fs::recursive_directory_iterator(dir)) {
    entries.emplace_back(e.path(), e.path().lexically_relative(dir));
  }
  if (!other.empty()) {
    for (const auto& e : fs::recursive_directory_iterator(other)) {
      entries.emplace_back(e.path(), other_name / e.path().lexically_relative(other));
    }
  }
  for (const auto& [path, name] : entries) {
    struct stat st {};
    lstat(path.c_str(), &st);
    Entry& entry = s[name.string()];
    entry.kind = S_ISREG(st.st_mode)    ? "file"
                 : S_ISDIR(st.st_mode)  ? "directory"
                 : S_ISLNK(st.st_mode)  ? "link"
                 : S_ISFIFO(st.st_mode) ? "fifo"
                                        : "device";
    entry.mode = st.st_mode & 07777;
    if (S_ISREG(st.st_mode)) entry.data = test::read_file(path);
    if (S_ISLNK(st.st_mode)) entry.data = fs::read_symlink(path).string();
  }
  return s;
}

// One line per entry, what it holds as a hash: a difference names the entry.
std::string listing(const Snapshot& s) {
  std::ostringstream out;
  for (const auto& [name, e] : s) {
    out << name << " " << e.kind << " " << std::oct << e.mode << " " << std::hex
        << std::hash<std::string>{}(e.data) << "\n";
  }
  return out.str();
}

// `*` stands for any text.
bool glob(std::string_view p, std::string_view s) {
  if (p.empty()) return s.empty();
  if (p[0] == '*') return glob(p.substr(1), s) || (!s.empty() && glob(p, s.substr(1)));
  return !s.empty() && p[0] == s[0] && glob(p.substr(1), s.substr(1));
}

std::string optional_file(const fs::path& p) {
  return fs::exists(p) ? test::read_file(p) : "";
}

// Standard output or error against expected.NAME, or line by line against
// the patterns of expected.NAME.pattern.
void expect_stream(const fs::path& source, const std::string& name, const std::string& got) {
  const fs::path pattern = source / ("expected." + name + ".pattern");
  if (!fs::exists(pattern)) {
    EXPECT_EQ(got, optional_file(source / ("expected." + name))) << "standard " << name;
    return;
  }
  std::istringstream want(test::read_file(pattern)), have(got);
  std::string w, h;
  bool same = true;
  while (std::getline(want, w)) same = same && std::getline(have, h) && glob(w, h);
  EXPECT_TRUE(same && !std::getline(have, h)) << "standard " << name << ":\n" << got;
}

// An error report ends with the statement line "? READ(UNIT=1,...", or with
// a hint after it.
bool is_error_report(const std::string& err) {
  std::vector<std::string> lines;
  std::istringstream in(err);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  if (!lines.empty() && lines.back().starts_with("sfconv: hint: ")) lines.pop_back();
  return !lines.empty() && lines.back().starts_with("? ");
}

class Case : public testing::TestWithParam<std::string> {};

TEST_P(Case, GivesWhatItExpects) {
  const fs::path source = fs::path(SFCONV_CASES) / GetParam();
  std::multimap<std::string, std::string> keys;  // of the case file
  std::istringstream lines(optional_file(source / "case"));
  for (std::string line; std::getline(lines, line);) {
    if (line.empty() || line[0] == '#') continue;
    std::size_t colon = line.find(':'), value = line.find_first_not_of(' ', colon + 1);
    keys.emplace(line.substr(0, colon), value == std::string::npos ? "" : line.substr(value));
  }
  const std::set<std::string> known = {"args",  "setup",  "umask", "ulimit", "beside", "user",
                                       "needs", "status", "equal", "mode",   "env",    "other-fs"};
  for (const auto& entry : keys) ASSERT_TRUE(known.count(entry.first)) << "key " << entry.first;
  auto key = [&keys](const std::string& k, const std::string& otherwise = "") {
    auto it = keys.find(k);
    return it == keys.end() ? otherwise : it->second;
  };
  auto each = [&keys](const std::string& k) {
    std::vector<std::pair<std::string, std::string>> v;  // the first word, the rest
    for (auto [it, end] = keys.equal_range(k); it != end; ++it) {
      std::size_t blank = it->second.find(' ');
      v.emplace_back(it->second.substr(0, blank),
                     it->second.substr(it->second.find_first_not_of(' ', blank)));
    }
    return v;
  };

  const bool root = geteuid() == 0;
  if (key("needs") == "root" && !root) GTEST_SKIP() << "needs root";
  // A library preloaded by `env` reaches only a program that loads shared libraries.
  if (key("needs") == "dynamic" && std::system("ldd '" SFCONV_BINARY "' >/dev/null 2>&1") != 0) {
    GTEST_SKIP() << "needs an sfconv that loads shared libraries";
  }
  std::string setup, wrapper;
  for (auto [it, end] = keys.equal_range("setup"); it != end; ++it) setup += it->second + "\n";
  if (!key("user").empty()) {
    if (!root) GTEST_SKIP() << "only root can run it as " << key("user");
    const struct passwd* user = getpwnam(key("user").c_str());
    ASSERT_NE(user, nullptr) << key("user");
    const std::string uid = std::to_string(user->pw_uid), gid = std::to_string(user->pw_gid);
    // The user's own directory; what `setup` then makes stays root's.
    setup = "chown -R " + uid + ":" + gid + " .\n" + setup;
    wrapper = "setpriv --reuid=" + uid + " --regid=" + gid + " --clear-groups";
  }
  test::TempDir dir;
  // A directory on another file system (a tmpfs), reached through a link.
  std::optional<test::TempDir> other;
  const std::string other_name = key("other-fs");
  if (!other_name.empty()) {
    struct stat here {};
    struct stat there {};
    if (stat("/dev/shm", &there) != 0 || stat(dir.path().c_str(), &here) != 0 ||
        here.st_dev == there.st_dev) {
      GTEST_SKIP() << "/dev/shm is not another file system than " << dir.path();
    }
    other.emplace("/dev/shm");
    fs::create_directory_symlink(other->path(), dir.path() / other_name);
  }
  for (const auto& e : fs::directory_iterator(source)) {
    const std::string name = e.path().filename().string();
    if (name == "case" || name.starts_with("expected.")) continue;
    fs::copy(e.path(), dir.path() / name,
             fs::copy_options::recursive | fs::copy_options::copy_symlinks);
  }
  if (!setup.empty()) {
    const std::string command =
        "cd '" + dir.path().string() +
        "' && SOURCE='" SFCONV_SOURCE "' && SFCONV='" SFCONV_BINARY "' && {\n" + setup + "}";
    ASSERT_EQ(std::system(command.c_str()), 0) << setup;
  }

  const fs::path other_path = other ? other->path() : fs::path();
  Snapshot before = snapshot(dir.path(), other_path, other_name);
  std::string env;
  if (!key("umask").empty()) env += "umask " + key("umask") + "; ";
  if (!key("ulimit").empty()) env += "ulimit " + key("ulimit") + "; ";
  if (!key("beside").empty()) env += "(" + key("beside") + ") & ";
  for (auto [it, end] = keys.equal_range("env"); it != end; ++it) {
    env += "SHIMS='" SFCONV_SHIMS "' && export " + it->second + "; ";
  }
  test::RunResult r = test::run_sfconv(dir, key("args", "params.txt"), env, wrapper);
  Snapshot after = snapshot(dir.path(), other_path, other_name);

  // The files the run writes: those of the "equal" lines, else out.sf when
  // expected.sf is given.
  auto written = each("equal");
  if (written.empty() && fs::exists(source / "expected.sf")) {
    written.emplace_back("out.sf", "expected.sf");
  }
  const std::string err =
      optional_file(source / "expected.err") + optional_file(source / "expected.err.pattern");
  const int status = is_error_report(err) ? 2 : written.empty() ? 1 : 0;
  EXPECT_EQ(r.status, keys.count("status") ? std::stoi(key("status")) : status);
  expect_stream(source, "out", r.out);
  expect_stream(source, "err", r.err);

  for (const auto& [name, mode] : each("mode")) {
    EXPECT_EQ(after[name].mode, std::stoul(mode, nullptr, 8)) << "mode of " << name;
  }
  for (const auto& [name, reference] : written) {
    EXPECT_EQ(after[name].kind, "file") << name;
    EXPECT_EQ(after[name].data, test::read_file(source / reference)) << name;
    before.erase(name);
    after.erase(name);
  }
  EXPECT_EQ(listing(after), listing(before)) << "entries made, changed or removed by the run";
}

INSTANTIATE_TEST_SUITE_P(Cases, Case, testing::ValuesIn(kCaseList),
                         [](const testing::TestParamInfo<std::string>& info) {
                           return test::param_name(info.param);
                         });

}  // namespace
}  // namespace sfconv
