// The real file system as the raw driver's directory tree, watched with inotify.
#pragma once

#include "kit/DeviceTree.h"

namespace kit {

class HostDeviceTree : public DeviceTree {
 public:
  bool Stat(const std::string& path, NodeStat* stat) override;
  bool ReadDirectory(const std::string& path, std::vector<std::string>* names) override;
  std::unique_ptr<NodeMonitor> CreateMonitor(Looper& target) override;
};

}  // namespace kit
