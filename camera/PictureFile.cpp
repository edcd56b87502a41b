#include "camera/PictureFile.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <random>

#include "camera/DownloadFolder.h"
#include "camera/PictureData.h"

namespace {

// Hidden names are picked at random; one taken by a download running beside us is skipped.
constexpr int kNameTries = 100;

std::string HiddenName() {
  static thread_local std::mt19937_64 random{std::random_device{}()};
  char name[40];
  snprintf(name, sizeof name, "%s%016llx", kWorkFilePrefix,
           static_cast<unsigned long long>(random()));
  return name;
}

bool Unsupported(int error) {
  return error == EINVAL || error == ENOSYS || error == EPERM || error == EOPNOTSUPP;
}

bool EmptyFile(int folder, const std::string& name) {
  struct stat status;
  return fstatat(folder, name.c_str(), &status, AT_SYMLINK_NOFOLLOW) == 0 &&
         S_ISREG(status.st_mode) && status.st_size == 0;
}

// Without either atomic way, the name is taken first by an empty file of our own, which the
// complete file then replaces: nobody else's file is ever replaced, and the name never
// holds part of a picture. A download cut off in between leaves the empty file, which the
// next one takes as free.
int ReserveAndRename(int folder, const std::string& hidden, const std::string& name) {
  int fd = openat(folder, name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
  if (fd == -1) return errno;
  close(fd);
  if (renameat(folder, hidden.c_str(), folder, name.c_str()) == 0) return 0;
  int error = errno;
  unlinkat(folder, name.c_str(), 0);
  return error;
}

int NameWithoutReplacing(int folder, const std::string& hidden, const std::string& name) {
  if (renameat2(folder, hidden.c_str(), folder, name.c_str(), RENAME_NOREPLACE) == 0) return 0;
  int result = errno;
  // A file system that cannot rename without replacing can still link without replacing.
  if (Unsupported(result))
    result = linkat(folder, hidden.c_str(), folder, name.c_str(), 0) == 0 ? 0 : errno;
  if (Unsupported(result)) result = ReserveAndRename(folder, hidden, name);
  return result;
}

}  // namespace

const char* CommitFailure(const Committed& committed) {
  if (committed.naming)
    return committed.error == EEXIST ? "The file already exists." : "Could not create the file.";
  return WriteFailure(committed.error);
}

PictureFile::~PictureFile() {
  if (fd_ != -1) close(fd_);
  if (!hidden_.empty()) unlinkat(folder_.Fd(), hidden_.c_str(), 0);
}

int PictureFile::Create() {
  for (int attempt = 0; attempt < kNameTries; attempt++) {
    std::string name = HiddenName();
    int fd = openat(folder_.Fd(), name.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                    0666);
    if (fd == -1 && errno == EEXIST) continue;
    if (fd == -1) return errno;
    // Locked for as long as it exists, so that a run starting beside this one leaves it be.
    struct stat status;
    if (flock(fd, LOCK_EX) == 0 && fstat(fd, &status) == 0 && status.st_nlink > 0) {
      fd_ = fd;
      hidden_ = name;
      return 0;
    }
    // Taken for a left-over work file and removed before it was locked: another name.
    close(fd);
  }
  return EEXIST;
}

std::string PictureFile::HiddenPath() const {
  return hidden_.empty() ? std::string() : folder_.PathOf(hidden_);
}

int PictureFile::Append(const unsigned char* data, size_t length) {
  if (int error = WriteAll(fd_, data, length); error != 0) return error;
  digest_.Add(data, length);
  return 0;
}

Committed PictureFile::Commit(const std::string& name, uint64_t digest) {
  if (int error = WriteDigestAttribute(fd_, digest); AttributeFailed(error)) return {error};
  if (fdatasync(fd_) != 0) return {errno};
  // What the drive holds, not what the cache kept of what was written.
  posix_fadvise(fd_, 0, 0, POSIX_FADV_DONTNEED);
  std::optional<uint64_t> stored = DigestOfFile(fd_);
  if (!stored) return {errno != 0 ? errno : EIO};
  if (*stored != digest) return {EIO};
  int fd = fd_;
  fd_ = -1;
  // Some file systems tell of a lost write only here.
  if (close(fd) != 0 && errno != EINTR) return {errno};
  if (int error = Name(name); error != 0) return {error, true};
  if (int error = folder_.Flush(); error != 0) {
    // The name may not survive a crash: it is not the picture's yet.
    unlinkat(folder_.Fd(), name.c_str(), 0);
    return {error};
  }
  return {};
}

int PictureFile::Name(const std::string& name) {
  int folder = folder_.Fd();
  int result = NameWithoutReplacing(folder, hidden_, name);
  // An empty file holds no picture: it is what a download cut off while naming left.
  if (result == EEXIST && EmptyFile(folder, name))
    result = renameat(folder, hidden_.c_str(), folder, name.c_str()) == 0 ? 0 : errno;
  // Renamed, the hidden name is gone; linked, it goes now; failed, it goes too.
  unlinkat(folder, hidden_.c_str(), 0);
  hidden_.clear();
  return result;
}

int NameState(int folder, const std::string& name) {
  struct stat status;
  if (fstatat(folder, name.c_str(), &status, AT_SYMLINK_NOFOLLOW) == 0)
    return S_ISREG(status.st_mode) && status.st_size == 0 ? 0 : EEXIST;
  return errno == ENOENT ? 0 : errno;
}

bool AttributeFailed(int error) {
  return error != 0 && error != ENOTSUP && error != EPERM;
}

int WriteAll(int fd, const unsigned char* data, size_t length) {
  while (length > 0) {
    ssize_t written = write(fd, data, length);
    if (written == -1 && errno == EINTR) continue;
    if (written == -1) return errno;
    if (written == 0) return EIO;  // no progress and no reason: give up rather than spin
    data += written;
    length -= size_t(written);
  }
  return 0;
}
