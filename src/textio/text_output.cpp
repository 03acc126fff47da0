// Text output: buffered writing, through a temporary file renamed into place
// or in place for pipes and devices.
#include "textio/text_output.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstring>

#include "textio/failure.hpp"
#include "textio/files.hpp"

namespace sfconv {

namespace {

constexpr std::size_t kFlushSize = std::size_t{1} << 16;

// The temporary file being written, for the signal handler to remove.
char pending_temp[PATH_MAX + 1];
volatile std::sig_atomic_t pending = 0;

extern "C" void remove_temporary_and_end(int sig) {
  if (pending != 0) unlink(pending_temp);
  std::signal(sig, SIG_DFL);
  std::raise(sig);
}

constexpr int kCleanupSignals[] = {SIGINT, SIGTERM, SIGHUP};

// Holds off the cleanup signals while the temporary file and the record of
// its name change together.
class CleanupSignalsHeld {
 public:
  CleanupSignalsHeld() {
    sigset_t held;
    sigemptyset(&held);
    for (int sig : kCleanupSignals) sigaddset(&held, sig);
    sigprocmask(SIG_BLOCK, &held, &old_);
  }
  ~CleanupSignalsHeld() { sigprocmask(SIG_SETMASK, &old_, nullptr); }
  CleanupSignalsHeld(const CleanupSignalsHeld&) = delete;
  CleanupSignalsHeld& operator=(const CleanupSignalsHeld&) = delete;

 private:
  sigset_t old_;
};

bool special_path(std::string_view path) {
  return path.starts_with("/dev/") || path.starts_with("/proc/");
}

std::string directory_of(const std::string& path) {
  std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

// Follows symbolic links from `path` to the name of the file they finally
// stand for, which need not exist. False with errno set when that cannot be
// told (a loop of links, say). `special` tells whether the way passed through
// /dev or /proc.
bool final_target(std::string path, std::string& target, bool& special) {
  special = special_path(path);
  for (int hops = 0; hops < 40; ++hops) {
    struct stat st {};
    if (lstat(path.c_str(), &st) != 0) {
      if (errno != ENOENT) return false;
      target = path;
      return true;
    }
    if (!S_ISLNK(st.st_mode)) {
      target = path;
      return true;
    }
    char link[PATH_MAX];
    ssize_t n = readlink(path.c_str(), link, sizeof link);
    if (n < 0) return false;
    if (static_cast<std::size_t>(n) == sizeof link) {
      errno = ENAMETOOLONG;
      return false;
    }
    std::string to(link, static_cast<std::size_t>(n));
    if (!to.starts_with('/')) to = directory_of(path) + "/" + to;
    path = to;
    special = special || special_path(path);
  }
  errno = ELOOP;
  return false;
}

}  // namespace

void prepare_output_signals() {
  std::signal(SIGPIPE, SIG_IGN);
  std::signal(SIGXFSZ, SIG_IGN);
  struct sigaction action {};
  action.sa_handler = remove_temporary_and_end;
  sigemptyset(&action.sa_mask);
  for (int sig : kCleanupSignals) sigaction(sig, &action, nullptr);
}

TextOutput::TextOutput(std::string_view name, int unit) : name_(file_name(name)), unit_(unit) {
  if (name_.empty()) fail("OPEN", "Cannot create file: no file name given");
  if (name_.find('\0') != std::string::npos) {
    fail("OPEN", "Cannot create file: the name holds a NUL byte");
  }
  struct stat st {};
  const bool exists = stat(name_.c_str(), &st) == 0;
  if (!exists && errno != ENOENT) {
    fail("OPEN", cat("Cannot create file: ", std::strerror(errno)));
  }
  if (exists && S_ISDIR(st.st_mode)) {
    fail("OPEN", cat("Cannot create file: ", std::strerror(EISDIR)));
  }
  std::string target;
  bool special = false;
  if (!final_target(name_, target, special)) {
    fail("OPEN", cat("Cannot create file: ", std::strerror(errno)));
  }
  if (exists && (!S_ISREG(st.st_mode) || special)) {
    open_in_place();
  } else {
    open_temporary(target, exists ? &st : nullptr);
  }
  buffer_.reserve(kFlushSize + 512);
}

// Pipes and devices are written as they are: a FIFO read by another process,
// /dev/null, /dev/stdout (appending, so that a shell's ">>" is kept).
void TextOutput::open_in_place() {
  out_.fd = open(name_.c_str(), O_WRONLY | O_APPEND | O_NOCTTY | O_CLOEXEC);
  if (out_.fd < 0) fail("OPEN", cat("Cannot create file: ", std::strerror(errno)));
}

void TextOutput::open_temporary(const std::string& target, const struct ::stat* replaced) {
  // A short name, so that any name the file system accepts can be renamed to.
  std::string temp = directory_of(target) + "/.sfconv-XXXXXX";
  if (temp.size() > PATH_MAX) {
    fail("OPEN", cat("Cannot create file: ", std::strerror(ENAMETOOLONG)));
  }
  {
    CleanupSignalsHeld held;
    out_.fd = mkostemp(temp.data(), O_CLOEXEC);
    if (out_.fd < 0) fail("OPEN", cat("Cannot create file: ", std::strerror(errno)));
    std::memcpy(pending_temp, temp.c_str(), temp.size() + 1);
    pending = 1;
    temp_.name = temp;
  }
  target_ = target;
  mode_t mode = 0;
  if (replaced != nullptr) {
    // Owner and group first: changing them may clear set-id bits. Where the
    // process may not, the file becomes the user's own.
    if (fchown(out_.fd, replaced->st_uid, replaced->st_gid) != 0) errno = 0;
    mode = replaced->st_mode & 07777;
  } else {
    mode_t mask = umask(0);
    umask(mask);
    mode = 0666 & ~mask;
  }
  if (fchmod(out_.fd, mode) != 0) {
    fail("OPEN", cat("Cannot create file: ", std::strerror(errno)));
  }
}

TextOutput::TextOutput(std::FILE* stream, std::string_view name, int unit)
    : name_(name), unit_(unit) {
  out_.stream = stream;
  out_.fd = fileno(stream);
}

TextOutput::~TextOutput() = default;

void TextOutput::Temporary::remove() {
  if (name.empty()) return;
  CleanupSignalsHeld held;
  unlink(name.c_str());
  release();
}

void TextOutput::Temporary::release() {
  name.clear();
  pending = 0;
}

int TextOutput::Descriptor::close() {
  int closed = 0;
  if (stream != nullptr) {
    closed = std::fclose(stream);
  } else if (fd >= 0) {
    closed = ::close(fd);
  }
  stream = nullptr;
  fd = -1;
  return closed;
}

void TextOutput::write_record(std::string_view record) {
  buffer_.append(record);
  buffer_.push_back('\n');
  ++records_;
  if (buffer_.size() >= kFlushSize) flush();
}

void TextOutput::flush() {
  const char* p = buffer_.data();
  std::size_t left = buffer_.size();
  while (left > 0) {
    ssize_t n = ::write(out_.fd, p, left);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      fail("WRITE", cat("Cannot write file: ", std::strerror(n < 0 ? errno : EIO)));
    }
    p += n;
    left -= static_cast<std::size_t>(n);
  }
  buffer_.clear();
}

void TextOutput::commit() {
  flush();
  if (out_.close() != 0) fail("WRITE", cat("Cannot write file: ", std::strerror(errno)));
  if (temp_.name.empty()) return;
  CleanupSignalsHeld held;
  if (std::rename(temp_.name.c_str(), target_.c_str()) != 0) {
    fail("CLOSE", cat("Cannot put the file in place: ", std::strerror(errno)));
  }
  temp_.release();
}

void TextOutput::fail(const char* statement, const std::string& cause) {
  std::string header = cat("sfconv: cannot write ", quoted(name_));
  if (records_ > 0) header += cat(", line ", records_);
  throw IoFailure{header, cause, statement, unit_};
}

}  // namespace sfconv
