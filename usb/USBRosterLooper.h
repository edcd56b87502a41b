// The roster's thread: scans the directory tree and turns node monitor notifications into
// DeviceAdded and DeviceRemoved calls. The watch tree is touched only under its lock.
#pragma once

#include <memory>
#include <string>

#include "kit/DeviceTree.h"
#include "kit/Looper.h"

class USBRoster;
class WatchItem;

class USBRosterLooper : public kit::Looper {
 public:
  explicit USBRosterLooper(USBRoster* roster);
  ~USBRosterLooper() override;

  void WatchDirectory(const std::string& path, WatchItem* parent);
  void ItemAdded(WatchItem* item);
  void DestroyItem(WatchItem* item);
  // Destroys the whole tree; the caller holds the lock.
  void DestroyTree();

 protected:
  void MessageReceived(kit::Message* message) override;

 private:
  void EntryCreated(const kit::Message& message);
  void EntryRemoved(const kit::Message& message);
  void AddNode(WatchItem* directory, const std::string& path, const std::string& name,
               int64_t node);
  static std::string PathOf(const WatchItem* item);

  WatchItem* root_ = nullptr;
  USBRoster* roster_;
  int32_t root_device_ = 0;
  std::unique_ptr<kit::NodeMonitor> monitor_;
};
