// The node monitor of the simulated tree: watches directories by node reference and has
// their notifications posted to one looper.
#pragma once

#include <memory>

#include "kit/DeviceTree.h"
#include "kit/Looper.h"

namespace sim {

class BusTree;

class BusMonitor : public kit::NodeMonitor {
 public:
  BusMonitor(std::shared_ptr<BusTree> tree, kit::Looper& target);
  ~BusMonitor() override;

  bool Watch(const kit::NodeRef& directory, const std::string& path) override;
  void Unwatch(const kit::NodeRef& directory) override;

 private:
  // The tree may go first; the monitor then watches nothing.
  std::weak_ptr<BusTree> tree_;
  uint64_t watcher_;
};

}  // namespace sim
