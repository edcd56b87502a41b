// The simulated /dev/bus/usb tree held in memory: directories, device nodes, plain files
// and nodes that refuse to open, with stable node numbers, and the watchers that hear
// about entries created in and removed from the directories they watch.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "kit/DeviceTree.h"
#include "kit/Messenger.h"
#include "sim/SimDevice.h"

namespace sim {

enum class EntryKind { kDirectory, kDevice, kFile };

class BusTree : public std::enable_shared_from_this<BusTree> {
 public:
  // The one device (volume) number of the whole tree.
  static constexpr int32_t kDeviceNumber = 0x5542;

  BusTree();
  ~BusTree();

  // Parents that are missing are created first, each reported like any creation.
  bool AddDirectory(const std::string& path);
  // A device node (which may refuse to open) or a plain file; fails when the path exists.
  bool AddEntry(const std::string& path, EntryKind kind, std::shared_ptr<SimDevice> device,
                bool refuses_open);
  bool Remove(const std::string& path);
  bool RemoveNode(int64_t node);
  bool GrantAccess(const std::string& path);

  bool Stat(const std::string& path, kit::NodeStat* stat) const;
  bool ReadDirectory(const std::string& path, std::vector<std::string>* names) const;
  // The device at an openable device node; every call counts as an open of the path.
  std::shared_ptr<SimDevice> Open(const std::string& path);
  int OpenCount(const std::string& path) const;
  std::shared_ptr<SimDevice> DeviceAt(const std::string& path) const;

  uint64_t AddWatcher(const kit::Looper& target);
  void DropWatcher(uint64_t watcher);
  bool Watch(uint64_t watcher, const kit::NodeRef& directory);
  void Unwatch(uint64_t watcher, const kit::NodeRef& directory);

 private:
  struct Entry {
    std::string name;
    EntryKind kind = EntryKind::kDirectory;
    int64_t node = 0;
    std::shared_ptr<SimDevice> device;
    bool refuses_open = false;
    Entry* parent = nullptr;
    std::vector<std::unique_ptr<Entry>> children;  // creation order

    Entry* Child(const std::string& name) const;
  };
  struct Watcher {
    kit::Messenger messenger;
    std::set<int64_t> directories;
  };

  static std::vector<std::string> Split(const std::string& path);
  static std::string Join(const std::vector<std::string>& parts);
  Entry* Find(const std::string& path) const;
  Entry* FindNode(Entry* from, int64_t node) const;
  // The directory for the parts, created as needed; none when a part is not a directory.
  Entry* MakeDirectories(const std::vector<std::string>& parts);
  Entry* Create(Entry* directory, const std::string& name, EntryKind kind);
  bool Detach(Entry* entry);
  void Created(const Entry& directory, const std::string& name);
  void Removed(const Entry& directory, int64_t node);
  void Post(const Entry& directory, const kit::Message& message);
  void DisconnectAll(Entry& entry);

  mutable std::mutex mutex_;
  Entry root_;
  int64_t next_node_ = 2;
  std::map<std::string, int> opens_;
  std::map<uint64_t, Watcher> watchers_;
  uint64_t next_watcher_ = 1;
};

}  // namespace sim
