// Text output: the structure-factor file, written whole or not at all.
#pragma once

#include <sys/stat.h>

#include <cstdio>
#include <string>
#include <string_view>

namespace sfconv {

// A text file written record by record; each record is its characters,
// trailing blanks included, and one line feed.
//
// What the name finally stands for (symbolic links followed) decides how it
// is written, by its type and never by how the name is spelled:
// - a regular file, or nothing: a temporary file in the directory of that
//   file is written, flushed to disk and renamed over it by commit(), and the
//   directory flushed after the rename; a failed run leaves an earlier file as
//   it was and no temporary file behind. An existing file the process may
//   not open for writing is refused at once (the OPEN report), as the shell's
//   ">" would refuse it. A replaced file keeps its permission bits (and its
//   owner and group where the process may set them), a new one gets 0666 less
//   the umask; a symbolic link stays a link;
// - a FIFO, a device or a socket: written in place, opened only by commit();
// - one of the process's own open descriptors (/dev/stdout, /dev/fd/1): the
//   records go to that descriptor, as a shell redirected it ("> file"
//   replaces, ">> file" appends), by commit();
// - a directory: the OPEN report, before anything is made.
// Nothing reaches an in-place file or a descriptor before commit(), so a run
// stopped before it leaves them untouched.
class TextOutput {
 public:
  TextOutput(std::string_view name, int unit);
  // Writes to an already open stream, which it then owns; commit() flushes and
  // closes it (no temporary file, no rename).
  TextOutput(std::FILE* stream, std::string_view name, int unit);
  ~TextOutput();
  TextOutput(const TextOutput&) = delete;
  TextOutput& operator=(const TextOutput&) = delete;

  void write_record(std::string_view record);
  // Writes what is held, flushes, closes and puts the file in place.
  void commit();

  const std::string& name() const { return name_; }
  // Records written so far: the line number of the last one.
  long records() const { return records_; }

 private:
  enum class Route { temporary, in_place, descriptor, stream };

  void refuse_unwritable();
  void open_in_place();
  void open_temporary(const std::string& target, const struct ::stat* replaced);
  void flush();
  [[noreturn]] void fail(const char* statement, const std::string& cause);
  // The OPEN report of a name the system refused with `error`.
  [[noreturn]] void fail_open(int error);

  // The temporary file, removed unless it was renamed into place.
  struct Temporary {
    std::string name;
    ~Temporary() { remove(); }
    void remove();
    void release();
  };
  // The file descriptor written to, closed when the output ends.
  struct Descriptor {
    int fd = -1;
    std::FILE* stream = nullptr;  // an already open stream, closed instead
    ~Descriptor() { close(); }
    int close();
  };

  std::string name_;
  std::string target_;  // the file renamed over, when written through a temporary
  int unit_;
  Route route_ = Route::stream;
  int own_fd_ = -1;  // the descriptor the name stands for (Route::descriptor)
  Temporary temp_;
  Descriptor out_;
  std::string buffer_;
  long records_ = 0;
};

// Sets up the signals for a run that writes files: an interrupt, a
// termination or a hang-up removes the temporary file being written before
// the process ends by that signal; a file-size limit and a closed pipe no
// longer kill the process but make the write fail, with its report.
void prepare_output_signals();

}  // namespace sfconv
