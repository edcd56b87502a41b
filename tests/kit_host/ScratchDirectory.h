// A fresh folder for one test, removed with everything in it afterwards.
#pragma once

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <string>

namespace hosttest {

class ScratchDirectory {
 public:
  explicit ScratchDirectory(std::string parent = "/tmp") : path_(parent + "/kit_host_XXXXXX") {
    if (mkdtemp(path_.data()) == nullptr) path_.clear();
  }
  ~ScratchDirectory() {
    std::error_code error;
    if (!path_.empty()) std::filesystem::remove_all(path_, error);
  }

  // Empty when the folder could not be made.
  const std::string& Path() const { return path_; }
  std::string operator/(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

inline bool MakeFile(const std::string& path, const std::string& bytes = "", mode_t mode = 0600) {
  int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
  bool written = fd >= 0 && write(fd, bytes.data(), bytes.size()) == ssize_t(bytes.size());
  return fd >= 0 && close(fd) == 0 && written;
}

}  // namespace hosttest
