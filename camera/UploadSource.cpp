#include "camera/UploadSource.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstring>

UploadSource::~UploadSource() {
  if (fd_ != -1) close(fd_);
}

bool UploadSource::Open(const char* path) {
  // Without O_NONBLOCK, opening a pipe that nobody writes to would hang the upload.
  fd_ = open(path, O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
  if (fd_ == -1) return false;
  struct stat status;
  if (fstat(fd_, &status) != 0 || !S_ISREG(status.st_mode)) return false;
  size_ = uint64_t(status.st_size);
  return true;
}

ssize_t UploadSource::ReadChunk(unsigned char* chunk, size_t capacity) {
  uint64_t left = size_ - position_;
  if (left == 0) {
    // The end is only the end when the file has nothing more either.
    unsigned char extra;
    return ReadFull(&extra, 1) == 0 ? 0 : -1;
  }
  size_t wanted = left < capacity ? size_t(left) : capacity;
  if (ReadFull(chunk, wanted) != ssize_t(wanted)) return -1;
  position_ += wanted;
  return ssize_t(wanted);
}

ssize_t UploadSource::ReadFull(unsigned char* data, size_t length) {
  size_t done = 0;
  while (done < length) {
    ssize_t got = read(fd_, data + done, length - done);
    if (got == -1 && errno == EINTR) continue;
    if (got == -1) return -1;
    if (got == 0) break;
    done += size_t(got);
  }
  return ssize_t(done);
}

bool IsCameraJpeg(UploadSource& source) {
  unsigned char head[11] = {};
  if (source.ReadChunk(head, sizeof head) != ssize_t(sizeof head)) return false;
  if (head[0] != 0xFF || head[1] != 0xD8 || head[2] != 0xFF) return false;
  if (head[3] == 0xE1) return memcmp(head + 6, "Exif\0", 5) == 0;
  return head[3] == 0xE0 && memcmp(head + 6, "JFIF\0", 5) == 0;
}
