#include "camera/FileDigest.h"

#include <sys/xattr.h>
#include <unistd.h>
#include <xxhash.h>

#include <cerrno>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <vector>

const char kDigestAttribute[] = "user.pictrove.xxh64";

FileDigest::FileDigest() : state_(XXH64_createState()) {
  if (state_ == nullptr) abort();
  XXH64_reset(static_cast<XXH64_state_t*>(state_), 0);
}

FileDigest::~FileDigest() {
  XXH64_freeState(static_cast<XXH64_state_t*>(state_));
}

void FileDigest::Add(const void* data, size_t length) {
  XXH64_update(static_cast<XXH64_state_t*>(state_), data, length);
}

uint64_t FileDigest::Value() const {
  return XXH64_digest(static_cast<const XXH64_state_t*>(state_));
}

std::optional<uint64_t> DigestOfFile(int fd) {
  // Large enough that a picture takes a few calls, small enough to stay in the cache.
  std::vector<unsigned char> piece(256 * 1024);
  FileDigest digest;
  off_t offset = 0;
  for (;;) {
    ssize_t got = pread(fd, piece.data(), piece.size(), offset);
    if (got == -1 && errno == EINTR) continue;
    if (got == -1) return std::nullopt;
    if (got == 0) return digest.Value();
    digest.Add(piece.data(), size_t(got));
    offset += got;
  }
}

int WriteDigestAttribute(int fd, uint64_t digest) {
  char text[17];
  snprintf(text, sizeof text, "%016" PRIx64, digest);
  return fsetxattr(fd, kDigestAttribute, text, 16, 0) == 0 ? 0 : errno;
}

std::optional<uint64_t> ReadDigestAttribute(int fd) {
  char text[17] = {};
  if (fgetxattr(fd, kDigestAttribute, text, 16) != 16) return std::nullopt;
  char* end = nullptr;
  uint64_t digest = strtoull(text, &end, 16);
  if (end != text + 16) return std::nullopt;
  return digest;
}
