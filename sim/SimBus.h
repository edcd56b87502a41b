// The simulated /dev/bus/usb tree as the program's device tree, with the operations tests
// and the demo use to change it at run time from any thread.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "kit/DeviceTree.h"
#include "sim/SimDevice.h"

namespace sim {

class BusTree;

// Where the raw driver's nodes live.
inline constexpr const char* kUsbRoot = "/dev/bus/usb";

class SimBus : public kit::DeviceTree {
 public:
  SimBus();
  ~SimBus() override;

  // kit::DeviceTree
  bool Stat(const std::string& path, kit::NodeStat* stat) override;
  bool ReadDirectory(const std::string& path, std::vector<std::string>* names) override;
  std::unique_ptr<kit::NodeMonitor> CreateMonitor(kit::Looper& target) override;

  // Each adds missing parent directories first, each reported like any creation.
  // True when the directory exists afterwards.
  bool AddDirectory(const std::string& path);
  // These fail when the path already exists.
  // Plugs the device in (again) at the path; a hub is a device at a node named like "hub".
  bool Plug(const std::string& path, std::shared_ptr<SimDevice> device);
  // A node that exists but refuses to open until GrantAccess.
  bool PlugUnopenable(const std::string& path, std::shared_ptr<SimDevice> device = nullptr);
  bool AddFile(const std::string& path);
  // One removal notification for the entry; whatever lies below it vanishes with it and
  // every device there is gone.
  bool Remove(const std::string& path);
  // Makes a refusing node openable; watchers hear it removed, then created again.
  bool GrantAccess(const std::string& path);

  // How many times the driver tried to open the path.
  int OpenCount(const std::string& path) const;
  std::shared_ptr<SimDevice> DeviceAt(const std::string& path) const;

  // For the simulated driver: the device behind an openable node, counted as an open.
  std::shared_ptr<SimDevice> Open(const std::string& path);

 private:
  std::shared_ptr<BusTree> tree_;
};

}  // namespace sim
