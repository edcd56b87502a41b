// Preloaded ahead of the umockdev library, which passes an emulated node's read() to the
// handler but not lseek() or pread(): libusb seeks a wrapped node back to 0 and the program
// reads the descriptors with pread. Both become the adapter's private seek request on such a node;
// every other file keeps the ordinary calls.
#include <sys/ioctl.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "sim/usbfs/SeekRequest.h"

namespace {

// The preload library opens an emulated node's file under the testbed's root and passes
// that fd's reads and ioctls to the handler, so the fd's own path tells it apart. Plain
// system calls only: the preload library rewrites paths given to the library calls.
bool IsEmulated(int fd) {
  const char* root = getenv("UMOCKDEV_DIR");
  if (root == nullptr || fd < 0) return false;
  char link[64];
  char target[PATH_MAX];
  snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
  long length = syscall(SYS_readlink, link, target, sizeof target - 1);
  if (length <= 0) return false;
  target[length] = '\0';
  std::string_view path(target, size_t(length));
  std::string devices = std::string(root) + "/dev/";
  return path.starts_with(devices);
}

bool Seek(int fd, off_t offset) {
  uint64_t wanted = uint64_t(offset);
  return ioctl(fd, sim::kSeekRequest, &wanted) == 0;
}

}  // namespace

extern "C" off_t lseek(int fd, off_t offset, int whence) {
  // Plain system calls for ordinary files: looking the next symbol up would itself seek.
  if (!IsEmulated(fd)) return off_t(syscall(SYS_lseek, fd, offset, whence));
  if (whence != SEEK_SET || offset < 0 || !Seek(fd, offset)) {
    errno = ESPIPE;
    return -1;
  }
  return offset;
}

extern "C" off_t lseek64(int fd, off_t offset, int whence) {
  return lseek(fd, offset, whence);
}

extern "C" ssize_t pread(int fd, void* buffer, size_t count, off_t offset) {
  if (!IsEmulated(fd)) return ssize_t(syscall(SYS_pread64, fd, buffer, count, offset));
  if (offset < 0 || !Seek(fd, offset)) {
    errno = ESPIPE;
    return -1;
  }
  return read(fd, buffer, count);
}

extern "C" ssize_t pread64(int fd, void* buffer, size_t count, off_t offset) {
  return pread(fd, buffer, count, offset);
}
