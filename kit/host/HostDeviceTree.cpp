#include "kit/host/HostDeviceTree.h"

#include <sys/stat.h>

#include "kit/host/DirectoryEntries.h"
#include "kit/host/InotifyMonitor.h"

namespace kit {

bool HostDeviceTree::Stat(const std::string& path, NodeStat* stat) {
  struct stat status;
  if (lstat(path.c_str(), &status) != 0) return false;
  stat->ref.device = int32_t(status.st_dev);
  stat->ref.node = int64_t(status.st_ino);
  stat->directory = S_ISDIR(status.st_mode);
  return true;
}

bool HostDeviceTree::ReadDirectory(const std::string& path, std::vector<std::string>* names) {
  return ListDirectory(path, names);
}

std::unique_ptr<NodeMonitor> HostDeviceTree::CreateMonitor(Looper& target) {
  return std::make_unique<InotifyMonitor>(target);
}

}  // namespace kit
