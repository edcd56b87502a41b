// The file an upload sends: a regular file, opened read-only and read one chunk at a time,
// that has to keep the size it had when it was opened.
#pragma once

#include <sys/types.h>
#include <cstddef>
#include <cstdint>

class UploadSource {
 public:
  UploadSource() = default;
  ~UploadSource();
  UploadSource(const UploadSource&) = delete;
  UploadSource& operator=(const UploadSource&) = delete;

  // False when `path` cannot be opened or is not a regular file (a directory, a pipe or a
  // device has no size to send).
  bool Open(const char* path);
  uint64_t Size() const { return size_; }

  // Reads the next chunk: as many bytes as are left, at most `capacity`. The bytes read; 0
  // at the end of the file; -1 when reading fails or the file is no longer the size it was
  // (it ends early, or goes on past its size).
  ssize_t ReadChunk(unsigned char* chunk, size_t capacity);

 private:
  // Reads until `length` bytes have come or the file ends. The bytes read, or -1.
  ssize_t ReadFull(unsigned char* data, size_t length);

  int fd_ = -1;
  uint64_t size_ = 0;
  uint64_t position_ = 0;
};

// Whether the file just opened starts as a camera's JPEG does: the start-of-image marker,
// then an EXIF or a JFIF segment. A camera lists anything uploaded as a picture, and one it
// cannot show is one the user cannot delete there. Reads the source's first bytes.
bool IsCameraJpeg(UploadSource& source);
