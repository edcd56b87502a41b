// The file-system view of the raw USB driver's directory tree, and the node monitor that
// reports entries created in and removed from watched directories.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace kit {

class Looper;

struct NodeRef {
  int32_t device = 0;
  int64_t node = 0;
};

struct NodeStat {
  NodeRef ref;
  bool directory = false;
};

// Node monitor notifications arrive at the target looper as messages of this code with
// the fields "opcode" (int32: kEntryCreated or kEntryRemoved), "device" (int32),
// "directory" (int64), and "name" (string, creations) or "node" (int64, removals).
constexpr uint32_t kNodeMonitorMessage = 0x4e444d4e;  // 'NDMN'
constexpr int32_t kEntryCreated = 1;
constexpr int32_t kEntryRemoved = 2;

class NodeMonitor {
 public:
  virtual ~NodeMonitor() = default;

  // Starts reporting entries created in and removed from the directory.
  virtual bool Watch(const NodeRef& directory, const std::string& path) = 0;
  virtual void Unwatch(const NodeRef& directory) = 0;
};

class DeviceTree {
 public:
  virtual ~DeviceTree() = default;

  // The entry itself, links not followed.
  virtual bool Stat(const std::string& path, NodeStat* stat) = 0;
  // The names in a directory, in the order the file system lists them, without "." and "..".
  virtual bool ReadDirectory(const std::string& path, std::vector<std::string>* names) = 0;
  // A monitor whose notifications are posted to `target` and handled on its thread.
  virtual std::unique_ptr<NodeMonitor> CreateMonitor(Looper& target) = 0;
};

}  // namespace kit
