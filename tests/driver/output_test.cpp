// What needs a process of its own: the temporary output file removed by an
// interrupt, and a stop message that a pipe without a reader refuses. (The
// other ways the output is written are cases under tests/cases/output/.)
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>

#include <gtest/gtest.h>

#include "support/files.hpp"
#include "textio/text_output.hpp"

namespace sfconv {
namespace {

// A signal while the temporary file exists removes it, and the process then
// ends by that signal.
TEST(Output, AnInterruptRemovesTheTemporaryFile) {
  for (int sig : {SIGINT, SIGTERM, SIGHUP}) {
    test::TempDir dir;
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
    EXPECT_TRUE(std::filesystem::is_empty(dir.path())) << sig;
  }
}

// The write of the stop message fails; SIGPIPE, were it not ignored, would
// end sfconv without a word.
TEST(Output, AClosedPipeOnAStopMessageIsAWriteFailure) {
  test::TempDir dir;
  dir.write("params.txt", "run.txt\n");
  int fds[2];
  ASSERT_EQ(pipe(fds), 0);
  close(fds[0]);  // nobody reads
  pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    int err = open((dir / "err").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (dup2(fds[1], 1) < 0 || dup2(err, 2) < 0 || chdir(dir.path().c_str()) != 0) _exit(99);
    execl(SFCONV_BINARY, SFCONV_BINARY, "params.txt", static_cast<char*>(nullptr));
    _exit(98);
  }
  close(fds[1]);
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 2) << status;
  EXPECT_EQ(test::read_file(dir / "err"),
            "sfconv: cannot write to standard output\nCannot write the message\n"
            "? WRITE(UNIT=6,...\n");
}

}  // namespace
}  // namespace sfconv
