// Preloaded into sfconv by a case (output/fsync-fails): fsync and fdatasync
// fail as a disk's write error makes them fail, so that the run's answer to
// it can be seen.
#include <cerrno>

extern "C" int fsync(int) {
  errno = EIO;
  return -1;
}

extern "C" int fdatasync(int) {
  errno = EIO;
  return -1;
}
