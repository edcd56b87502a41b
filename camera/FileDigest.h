// The digest a downloaded file is checked against once it is on the disk, and which it keeps
// as an attribute so that a later run, or a script, can tell a whole file from a cut one.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

// The attribute that holds a downloaded file's digest: 16 lower-case hex digits.
extern const char kDigestAttribute[];

// A 64-bit digest of bytes given in any number of pieces. The bus has its own checks: this
// one is for what the drive gives back.
class FileDigest {
 public:
  FileDigest();
  ~FileDigest();
  FileDigest(const FileDigest&) = delete;
  FileDigest& operator=(const FileDigest&) = delete;

  void Add(const void* data, size_t length);
  uint64_t Value() const;

 private:
  void* state_;
};

// The digest of what `fd` holds from its start to its end, read with pread: none when it
// cannot be read whole.
std::optional<uint64_t> DigestOfFile(int fd);

// Writes the digest attribute on the open file: 0, or the reason.
int WriteDigestAttribute(int fd, uint64_t digest);
// The digest attribute of the open file, when it has one that reads as a digest.
std::optional<uint64_t> ReadDigestAttribute(int fd);
