// Text output: buffered writing, through a temporary file renamed into place
// or in place for pipes and devices.
#include "textio/text_output.hpp"

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
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

std::string directory_of(const std::string& path) {
  std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

// The descriptor that `link` stands for when it is an entry of the process's
// own descriptor directory (/proc/self/fd/1, which /dev/stdout and /dev/fd/1
// lead to): the kernel's identity of the directory decides, not the spelling
// of the name. -1 for any other link.
int own_descriptor(const std::string& link) {
  static struct stat fd_dir {};
  static const bool known = stat("/proc/self/fd", &fd_dir) == 0;
  std::size_t slash = link.rfind('/');
  if (!known || slash == std::string::npos) return -1;
  std::string_view number = std::string_view(link).substr(slash + 1);
  int fd = -1;
  auto [end, ec] = std::from_chars(number.data(), number.data() + number.size(), fd);
  if (ec != std::errc() || end != number.data() + number.size() || number.empty()) return -1;
  struct stat dir {};
  if (stat(directory_of(link).c_str(), &dir) != 0) return -1;
  return dir.st_dev == fd_dir.st_dev && dir.st_ino == fd_dir.st_ino ? fd : -1;
}

// Follows symbolic links from `path` to the name of the file they finally
// stand for, which need not exist. False with errno set when that cannot be
// told (a loop of links, say). `fd` is set to the descriptor when the way
// leads to one of the process's own descriptors (and `target` is then empty).
bool final_target(std::string path, std::string& target, int& fd) {
  fd = -1;
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
    fd = own_descriptor(path);
    if (fd >= 0) return true;
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
  }
  errno = ELOOP;
  return false;
}

// Writes all of `text` to `fd`; false with errno set on a failure. A
// descriptor inherited in non-blocking mode (a pipe set up so by the parent)
// is waited for when full.
bool write_all(int fd, std::string_view text) {
  while (!text.empty()) {
    ssize_t n = ::write(fd, text.data(), text.size());
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
      pollfd wait{fd, POLLOUT, 0};
      if (poll(&wait, 1, -1) >= 0 || errno == EINTR) continue;
      return false;
    }
    if (n <= 0) {
      if (n == 0) errno = EIO;
      return false;
    }
    text.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

// Flushes a directory's entries to disk, so that a rename in it outlasts a
// crash. Best effort: some file systems cannot, and the file is in place.
void sync_directory(const std::string& dir) {
  int fd = open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  (void)fsync(fd);
  ::close(fd);
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

TextOutput::TextOutput(std::string_view name, int unit)
    : name_(file_name(name)), unit_(unit), route_(Route::temporary) {
  if (name_.empty()) fail("OPEN", "Cannot create file: no file name given");
  if (name_.find('\0') != std::string::npos) {
    fail("OPEN", "Cannot create file: the name holds a NUL byte");
  }
  struct stat st {};
  const bool exists = stat(name_.c_str(), &st) == 0;
  if (!exists && errno != ENOENT) {
    fail_open(errno);
  }
  if (exists && S_ISDIR(st.st_mode)) {
    fail_open(EISDIR);
  }
  std::string target;
  if (!final_target(name_, target, own_fd_)) {
    fail_open(errno);
  }
  if (own_fd_ >= 0) {
    route_ = Route::descriptor;
    int flags = fcntl(own_fd_, F_GETFL);
    if (flags < 0 || (flags & O_ACCMODE) == O_RDONLY) {
      fail("OPEN", cat("Cannot create file: descriptor ", own_fd_, " is not open for writing"));
    }
  } else if (exists && !S_ISREG(st.st_mode)) {
    route_ = Route::in_place;
  } else {
    if (exists) refuse_unwritable();
    open_temporary(target, exists ? &st : nullptr);
  }
  buffer_.reserve(kFlushSize + 512);
}

// An existing file that the process may not open for writing is not replaced
// behind its back, though the directory would allow the rename: the test is
// the open a shell's ">" makes, without truncating, so the file's mode, its
// access control lists, a read-only mount and root's rights all count.
void TextOutput::refuse_unwritable() {
  int fd = open(name_.c_str(), O_WRONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) fail("OPEN", cat("Cannot replace file: ", std::strerror(errno)));
  ::close(fd);
}

// FIFOs, devices and sockets are written as they are (no O_APPEND, which
// means nothing to them, and no truncation).
void TextOutput::open_in_place() {
  out_.fd = open(name_.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
  if (out_.fd < 0) fail_open(errno);
}

void TextOutput::open_temporary(const std::string& target, const struct ::stat* replaced) {
  // A short name, so that any name the file system accepts can be renamed to.
  std::string temp = directory_of(target) + "/.sfconv-XXXXXX";
  if (temp.size() > PATH_MAX) {
    fail_open(ENAMETOOLONG);
  }
  {
    CleanupSignalsHeld held;
    out_.fd = mkostemp(temp.data(), O_CLOEXEC);
    if (out_.fd < 0) fail_open(errno);
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
  // In place and to a descriptor, all is held for commit().
  if (buffer_.size() >= kFlushSize && out_.fd >= 0) flush();
}

void TextOutput::flush() {
  if (!write_all(out_.fd, buffer_)) fail("WRITE", cat("Cannot write file: ", std::strerror(errno)));
  buffer_.clear();
}

void TextOutput::commit() {
  if (route_ == Route::in_place) open_in_place();
  if (route_ == Route::descriptor) {
    out_.fd = fcntl(own_fd_, F_DUPFD_CLOEXEC, 3);
    if (out_.fd < 0) fail("OPEN", cat("Cannot create file: ", std::strerror(errno)));
  }
  flush();
  // On disk before it takes the name: a crash then leaves the earlier file or
  // this one, never an empty or partial file under the name. (EINVAL: a file
  // system that cannot sync, where there is nothing more to wait for.)
  if (route_ == Route::temporary && fsync(out_.fd) != 0 && errno != EINVAL) {
    fail("WRITE", cat("Cannot write file: ", std::strerror(errno)));
  }
  if (out_.close() != 0) fail("WRITE", cat("Cannot write file: ", std::strerror(errno)));
  if (temp_.name.empty()) return;
  {
    CleanupSignalsHeld held;
    if (std::rename(temp_.name.c_str(), target_.c_str()) != 0) {
      fail("CLOSE", cat("Cannot put the file in place: ", std::strerror(errno)));
    }
    temp_.release();
  }
  sync_directory(directory_of(target_));
}

void TextOutput::fail_open(int error) {
  // A relative name may name a file of another directory than the user thinks.
  throw IoFailure{cat("sfconv: cannot write ", quoted(name_),
                      error == ENAMETOOLONG ? std::string() : where_names_are_taken(name_)),
                  cat("Cannot create file: ", std::strerror(error)), "OPEN", unit_};
}

void TextOutput::fail(const char* statement, const std::string& cause) {
  std::string header = cat("sfconv: cannot write ", quoted(name_));
  // A failed write names the last line written; opening names none.
  if (records_ > 0 && std::string_view(statement) == "WRITE") header += cat(", line ", records_);
  throw IoFailure{header, cause, statement, unit_};
}

}  // namespace sfconv
