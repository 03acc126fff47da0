// Where the structure-factor file goes: never over an input, through links to
// their target, in place for pipes and devices, never cut or left half-done.
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "support/examples.hpp"
#include "support/files.hpp"
#include "textio/text_output.hpp"

namespace sfconv {
namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;
using test::report_tail;
using test::run_sfconv;
using test::TempDir;

const std::string kExpected = test::read_file(SFCONV_EXAMPLES "/fullprof/expected.sf");

// The FullProf example in `dir`, writing to `output`.
void fullprof_run(const TempDir& dir, const std::string& output) {
  test::example(dir, "fullprof",
                [&output](std::string& p) { test::replace_line(p, "out.sf", output); });
  fs::remove(dir.path() / "expected.sf");
  fs::remove(dir.path() / "README.md");
}

// sfconv params.txt run in `dir` with standard output on `out` (-1: /dev/null)
// and standard error in .stderr; its status and resource usage.
struct Child {
  int status = 0;
  struct rusage usage {};
};
Child run_child(const TempDir& dir, int out) {
  pid_t child = fork();
  if (child == 0) {
    if (chdir(dir.path().c_str()) != 0) _exit(99);
    int null = open("/dev/null", O_WRONLY);
    int err = open(".stderr", O_WRONLY | O_CREAT | O_TRUNC, 0644);
    dup2(out >= 0 ? out : null, 1);
    dup2(err, 2);
    execl(SFCONV_BINARY, SFCONV_BINARY, "params.txt", static_cast<char*>(nullptr));
    _exit(98);
  }
  Child c;
  wait4(child, &c.status, 0, &c.usage);
  return c;
}

mode_t mode_of(const std::string& path) {
  struct stat st {};
  EXPECT_EQ(stat(path.c_str(), &st), 0) << path;
  return st.st_mode;
}

TEST(Output, NeverReplacesAnInput) {
  struct Case {
    const char* output;  // as the parameter file names it
    const char* input;   // the input it is
    const char* what;
  };
  for (Case c : {Case{"params.txt", "params.txt", "parameter file"},
                 Case{"silicon.out", "silicon.out", "refinement file"},
                 Case{"silicon.fou", "silicon.fou", "second file"},
                 Case{"./link-to-out", "silicon.out", "refinement file"}}) {
    TempDir dir;
    fullprof_run(dir, c.output);
    fs::create_symlink("silicon.out", dir.path() / "link-to-out");
    const std::string before = test::read_file(dir / c.input);
    test::RunResult r = run_sfconv(dir, "params.txt");
    EXPECT_EQ(r.status, 2) << c.output;
    std::string header = "sfconv: the output file \"";
    header.append(c.output).append("\" is the ").append(c.what).append(" \"");
    header.append(c.input).append("\"\n");
    EXPECT_EQ(r.err, header +
                         "Cannot create file: it would replace an input of the run\n"
                         "? OPEN(UNIT=4,...\n");
    EXPECT_EQ(test::read_file(dir / c.input), before) << c.output;
    EXPECT_EQ(dir.listing(), "link-to-out\nparams.txt\nsilicon.fou\nsilicon.out\n");
  }
}

TEST(Output, ALinkStaysAndItsTargetIsReplaced) {
  TempDir dir;
  fullprof_run(dir, "link.sf");
  fs::create_directory(dir.path() / "results");
  dir.write("results/old.sf", "earlier\n");
  chmod((dir / "results/old.sf").c_str(), 0640);
  fs::create_symlink("results/old.sf", dir.path() / "link.sf");
  test::RunResult r = run_sfconv(dir, "params.txt");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(fs::is_symlink(dir.path() / "link.sf"));
  EXPECT_EQ(test::read_file(dir / "results/old.sf"), kExpected);
  EXPECT_EQ(mode_of(dir / "results/old.sf") & 07777, 0640u);
  EXPECT_EQ(fs::directory_iterator(dir.path() / "results")->path().filename(), "old.sf");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path() / "results"), {}), 1);
}

TEST(Output, ADanglingLinkGetsItsTargetMade) {
  TempDir dir;
  fullprof_run(dir, "link.sf");
  fs::create_symlink("made.sf", dir.path() / "link.sf");
  test::RunResult r = run_sfconv(dir, "params.txt", "umask 027;");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(fs::is_symlink(dir.path() / "link.sf"));
  EXPECT_EQ(test::read_file(dir / "made.sf"), kExpected);
  EXPECT_EQ(mode_of(dir / "made.sf") & 07777, 0640u);  // 0666 less the umask
}

TEST(Output, AReplacedFileKeepsItsPermissions) {
  TempDir dir;
  fullprof_run(dir, "out.sf");
  dir.write("out.sf", "earlier\n");
  chmod((dir / "out.sf").c_str(), 0600);
  test::RunResult r = run_sfconv(dir, "params.txt", "umask 022;");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(test::read_file(dir / "out.sf"), kExpected);
  EXPECT_EQ(mode_of(dir / "out.sf") & 07777, 0600u);
}

TEST(Output, AFifoIsWrittenInPlaceForItsReader) {
  TempDir dir;
  fullprof_run(dir, "pipe.sf");
  ASSERT_EQ(mkfifo((dir / "pipe.sf").c_str(), 0644), 0);
  // The reader ends when sfconv closes its end of the pipe.
  test::RunResult r = run_sfconv(dir, "params.txt; s=$?; wait; exit $s", "cat pipe.sf > read.sf &");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(fs::is_fifo(dir.path() / "pipe.sf"));
  EXPECT_EQ(test::read_file(dir / "read.sf"), kExpected);
}

TEST(Output, StandardOutputAndDevNullAreWrittenInPlace) {
  TempDir dir;
  fullprof_run(dir, "/dev/stdout");
  test::RunResult r = run_sfconv(dir, "params.txt");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, kExpected);

  fullprof_run(dir, "/dev/null");
  r = run_sfconv(dir, "params.txt");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(fs::is_character_file("/dev/null"));
  EXPECT_EQ(dir.listing(), "params.txt\nsilicon.fou\nsilicon.out\n");
}

TEST(Output, ACharacterDeviceStaysADevice) {
  if (geteuid() != 0) GTEST_SKIP() << "making a device node needs root";
  TempDir dir;
  fullprof_run(dir, "null.sf");
  ASSERT_EQ(mknod((dir / "null.sf").c_str(), S_IFCHR | 0666, makedev(1, 3)), 0);  // as /dev/null
  test::RunResult r = run_sfconv(dir, "params.txt");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(fs::is_character_file(dir.path() / "null.sf"));
}

TEST(Output, ADirectoryIsRefusedBeforeAnythingIsMade) {
  TempDir dir;
  fullprof_run(dir, "results");
  fs::create_directory(dir.path() / "results");
  test::RunResult r = run_sfconv(dir, "params.txt");
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(r.err,
            "sfconv: cannot write \"results\"\nCannot create file: Is a directory\n"
            "? OPEN(UNIT=4,...\n");
  EXPECT_TRUE(fs::is_empty(dir.path() / "results"));
  EXPECT_EQ(dir.listing(), "params.txt\nresults\nsilicon.fou\nsilicon.out\n");
}

TEST(Output, AFileSizeLimitIsAWriteFailureThatLeavesTheEarlierFile) {
  TempDir dir;
  fullprof_run(dir, "out.sf");
  dir.write("out.sf", "earlier\n");
  // One block of 512 bytes: the file's write fails, the short report fits.
  test::RunResult r = run_sfconv(dir, "params.txt", "ulimit -f 1;");
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(report_tail(r.err), "Cannot write file: File too large\n? WRITE(UNIT=4,...\n");
  EXPECT_EQ(test::read_file(dir / "out.sf"), "earlier\n");
  EXPECT_EQ(dir.listing(), "out.sf\nparams.txt\nsilicon.fou\nsilicon.out\n");
}

TEST(Output, AClosedPipeOnAStopMessageIsAWriteFailure) {
  TempDir dir;
  dir.write("params.txt", "run.txt\n");
  int fds[2];
  ASSERT_EQ(pipe(fds), 0);
  close(fds[0]);  // nobody reads: a write gets EPIPE, or SIGPIPE were it not ignored
  Child c = run_child(dir, fds[1]);
  close(fds[1]);
  EXPECT_TRUE(WIFEXITED(c.status) && WEXITSTATUS(c.status) == 2);
  EXPECT_EQ(report_tail(test::read_file(dir / ".stderr")),
            "Cannot write the message\n? WRITE(UNIT=6,...\n");
}

TEST(Output, A255CharacterNameWorks) {
  TempDir dir;
  const std::string name = std::string(252, 'n') + ".sf";
  fullprof_run(dir, name);
  test::RunResult r = run_sfconv(dir, "params.txt");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(test::read_file(dir / name), kExpected);
}

TEST(Output, NamesAreNeverCut) {
  TempDir dir;
  // 600 characters: /tmp/.../ then directories of 50 characters and a name.
  std::string path = dir.path().string();
  while (path.size() < 560) path.append("/").append(49, 'd');
  path.append("/").append(599 - path.size(), 'f').append("x");
  ASSERT_EQ(path.size(), 600u);
  fullprof_run(dir, path + "   # the output");
  test::RunResult r = run_sfconv(dir, "params.txt");
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(r.err,
            "sfconv: error in params.txt, line 5: the output file name is 600 characters long\n"
            "File name longer than 512 characters\n? READ(UNIT=5,...\n");
  EXPECT_EQ(dir.listing(), "params.txt\nsilicon.fou\nsilicon.out\n");

  // A name of 512 characters is whole: here it names no existing directory.
  fullprof_run(dir, dir.path().string() + "/" + std::string(511 - dir.path().string().size(), 'n'));
  r = run_sfconv(dir, "params.txt");
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(report_tail(r.err), "Cannot create file: File name too long\n? OPEN(UNIT=4,...\n");

  r = run_sfconv(dir, std::string(513, 'p'));
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(report_tail(r.err),
            "Cannot open file: its name is longer than 512 characters\n? OPEN(UNIT=5,...\n");
}

TEST(Output, ANameWithANulByteOpensNothing) {
  TempDir dir;
  dir.write("params.txt", "nacl.fos\0x\nout.sf\n1.0\n0\n0.7093\n"s);
  dir.write("nacl.fos", test::read_file(SFCONV_EXAMPLES "/kolmex/nacl.fos"));
  test::RunResult r = run_sfconv(dir, "params.txt");
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(r.err,
            "sfconv: cannot open \"nacl.fos\\0x\"\nCannot open file: the name holds a NUL byte\n"
            "? OPEN(UNIT=1,...\n");

  dir.write("params.txt", "nacl.fos\nout.sf\0x\n1.0\n0\n0.7093\n"s);
  r = run_sfconv(dir, "params.txt");
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(report_tail(r.err),
            "Cannot create file: the name holds a NUL byte\n? OPEN(UNIT=4,...\n");
  EXPECT_EQ(dir.listing(), "nacl.fos\nparams.txt\n");
}

// A signal while the temporary file exists removes it, and the process then
// ends by that signal.
TEST(Output, AnInterruptRemovesTheTemporaryFile) {
  for (int sig : {SIGINT, SIGTERM, SIGHUP}) {
    TempDir dir;
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      prepare_output_signals();
      TextOutput out(dir / "out.sf", 4);
      out.write_record("a record");
      std::raise(sig);
      _exit(0);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == sig) << sig;
    EXPECT_EQ(dir.listing(), "") << sig;
  }
}

// The bound is the plain build's; a sanitized sfconv carries its shadow
// memory on top, and a bound below the input's size still tells whether the
// line was kept whole.
#if defined(SFCONV_SANITIZED)
constexpr long kBoundKiB = 48 * 1024;
#else
constexpr long kBoundKiB = 16 * 1024;
#endif

TEST(Output, HugeLinesStayWithinTheMemoryBound) {
  TempDir dir;
  dir.write("params.txt", "big.lst\nout.sf\nTitle\nF 225\n1.0\n8 8 8\n0\n1.0\n1.0\n1\n1\n");
  {
    std::ofstream big(dir / "big.lst", std::ios::binary);
    std::string chunk(1 << 20, 'x');
    for (int i = 0; i < 64; ++i) big << chunk;  // 64 MB, no line feed
  }
  Child c = run_child(dir, -1);
  EXPECT_EQ(WEXITSTATUS(c.status), 2);
  EXPECT_LT(c.usage.ru_maxrss, kBoundKiB);
  {
    std::ofstream big(dir / "big.lst", std::ios::binary);
    std::string chunk(1 << 20, '\t');
    for (int i = 0; i < 16; ++i) big << chunk;  // 16 M tabs, 128 M columns
    big << "\n";
  }
  c = run_child(dir, -1);
  EXPECT_EQ(WEXITSTATUS(c.status), 2);
  EXPECT_LT(c.usage.ru_maxrss, kBoundKiB);
}

}  // namespace
}  // namespace sfconv
