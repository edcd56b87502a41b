// The node monitor over inotify. Its descriptor is read by the target looper's own thread,
// so notifications are posted from there in the order the kernel reported the changes.
#pragma once

#include <map>
#include <mutex>
#include <optional>
#include <string>

#include "kit/DeviceTree.h"
#include "kit/host/DirectoryEntries.h"

struct inotify_event;

namespace kit {

class InotifyMonitor : public NodeMonitor {
 public:
  // Without inotify every Watch fails.
  explicit InotifyMonitor(Looper& target);
  // From the target's thread, or once it has stopped.
  ~InotifyMonitor() override;

  InotifyMonitor(const InotifyMonitor&) = delete;
  InotifyMonitor& operator=(const InotifyMonitor&) = delete;

  bool Watch(const NodeRef& directory, const std::string& path) override;
  void Unwatch(const NodeRef& directory) override;

 private:
  struct Watched {
    NodeRef ref;
    std::string path;
    EntryTable entries;  // removals must name a node the file system no longer shows
  };

  void ReadEvents();
  void Handle(const inotify_event& event);
  void Resynchronise();
  void Reconcile(Watched& watched, const std::string& name, const std::optional<EntryState>& now);
  void PostCreated(const Watched& watched, const std::string& name);
  void PostRemoved(const Watched& watched, int64_t node);

  Looper& target_;
  int fd_;
  std::mutex mutex_;                // Watch and Unwatch may come from another thread
  std::map<int, Watched> watches_;  // by watch descriptor
};

}  // namespace kit
