// Preloaded ahead of the umockdev library: an emulated usbfs node is a socket, which has
// no file offset, yet libusb seeks a wrapped node back to 0 and the program reads the
// descriptors with pread. Both become the adapter's private seek request on such a node;
// every other file keeps the ordinary calls.
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>

#include "realstack/SeekRequest.h"

namespace {

bool IsEmulated(int fd) {
  struct stat info {};
  return fstat(fd, &info) == 0 && S_ISSOCK(info.st_mode);
}

bool Seek(int fd, off_t offset) {
  uint64_t wanted = uint64_t(offset);
  return ioctl(fd, realstack::kSeekRequest, &wanted) == 0;
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
