#include "camera/DownloadFolder.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

const char kWorkFilePrefix[] = ".pictrove-";

DownloadFolder::~DownloadFolder() {
  if (fd_ != -1) close(fd_);
}

int DownloadFolder::Open(const std::string& path) {
  int fd = open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd == -1) return errno;
  if (faccessat(fd, ".", W_OK | X_OK, AT_EACCESS) != 0) {
    int error = errno;
    close(fd);
    return error;
  }
  if (fd_ != -1) close(fd_);
  fd_ = fd;
  path_ = path;
  RemoveLeftWorkFiles(fd_);
  return 0;
}

int DownloadFolder::Flush() const {
  return fsync(fd_) == 0 ? 0 : errno;
}

void DownloadFolder::Unname(const std::string& name) const {
  // Should either call fail, what stays is a whole file, only one a later run must skip.
  if (unlinkat(fd_, name.c_str(), 0) == 0) Flush();
}

namespace {

// A work file is locked by the download that writes it for as long as it exists: one that
// can be locked belongs to nobody.
bool Unheld(int folder, const char* name) {
  int fd = openat(folder, name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
  if (fd == -1) return false;
  struct stat status;
  bool unheld =
      fstat(fd, &status) == 0 && S_ISREG(status.st_mode) && flock(fd, LOCK_EX | LOCK_NB) == 0;
  // Unlinked while the lock is held: a download that opens it meanwhile sees it gone.
  if (unheld) unheld = unlinkat(folder, name, 0) == 0;
  close(fd);
  return unheld;
}

}  // namespace

int RemoveLeftWorkFiles(int folder) {
  int copy = openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (copy == -1) return 0;
  DIR* entries = fdopendir(copy);
  if (entries == nullptr) {
    close(copy);
    return 0;
  }
  int removed = 0;
  size_t prefix = strlen(kWorkFilePrefix);
  while (const dirent* entry = readdir(entries))
    if (strncmp(entry->d_name, kWorkFilePrefix, prefix) == 0 && Unheld(folder, entry->d_name))
      removed++;
  closedir(entries);
  return removed;
}
