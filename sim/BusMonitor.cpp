#include "sim/BusMonitor.h"

#include "sim/BusTree.h"

namespace sim {

BusMonitor::BusMonitor(std::shared_ptr<BusTree> tree, kit::Looper& target)
    : tree_(tree), watcher_(tree->AddWatcher(target)) {}

BusMonitor::~BusMonitor() {
  if (auto tree = tree_.lock()) tree->DropWatcher(watcher_);
}

bool BusMonitor::Watch(const kit::NodeRef& directory, const std::string& /*path*/) {
  auto tree = tree_.lock();
  return tree && tree->Watch(watcher_, directory);
}

void BusMonitor::Unwatch(const kit::NodeRef& directory) {
  if (auto tree = tree_.lock()) tree->Unwatch(watcher_, directory);
}

}  // namespace sim
