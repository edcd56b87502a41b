#include "camera/PictureFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <random>

namespace {

// Hidden names are picked at random; one taken by a download running beside us is skipped.
constexpr int kNameTries = 100;

std::string HiddenName() {
  static thread_local std::mt19937_64 random{std::random_device{}()};
  char name[32];
  snprintf(name, sizeof name, ".pictrove-%016llx", static_cast<unsigned long long>(random()));
  return name;
}

}  // namespace

PictureFile::~PictureFile() {
  if (fd_ != -1) close(fd_);
  if (!hidden_.empty()) unlink(hidden_.c_str());
}

int PictureFile::Create() {
  for (int attempt = 0; attempt < kNameTries; attempt++) {
    std::string name = HiddenName();
    int fd = open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd != -1) {
      fd_ = fd;
      hidden_ = name;
      return 0;
    }
    if (errno != EEXIST) return errno;
  }
  return EEXIST;
}

namespace {

bool Unsupported(int error) {
  return error == EINVAL || error == ENOSYS || error == EPERM || error == EOPNOTSUPP;
}

// Without either atomic way, the name is taken first by an empty file of our own, which the
// complete file then replaces: nobody else's file is ever replaced, and the name never
// holds part of a picture.
int ReserveAndRename(const std::string& hidden, const std::string& name) {
  int fd = open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
  if (fd == -1) return errno;
  close(fd);
  if (rename(hidden.c_str(), name.c_str()) == 0) return 0;
  int error = errno;
  unlink(name.c_str());
  return error;
}

}  // namespace

int PictureFile::Name(const std::string& name) {
  int result = 0;
  if (renameat2(AT_FDCWD, hidden_.c_str(), AT_FDCWD, name.c_str(), RENAME_NOREPLACE) != 0) {
    result = errno;
    // A file system that cannot rename without replacing can still link without replacing.
    if (Unsupported(result)) result = link(hidden_.c_str(), name.c_str()) == 0 ? 0 : errno;
    if (Unsupported(result)) result = ReserveAndRename(hidden_, name);
    unlink(hidden_.c_str());
  }
  hidden_.clear();
  return result;
}

int NameState(const std::string& name) {
  struct stat status;
  if (fstatat(AT_FDCWD, name.c_str(), &status, AT_SYMLINK_NOFOLLOW) == 0) return EEXIST;
  return errno == ENOENT ? 0 : errno;
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
