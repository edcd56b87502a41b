// A looper that keeps the node monitor notifications it receives, for tests to take in order.
#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <optional>
#include <ostream>
#include <string>

#include "kit/DeviceTree.h"
#include "kit/Looper.h"

namespace hosttest {

// One notification with the fields it carried; absent ones keep their defaults.
struct Notice {
  int32_t opcode = 0;
  int32_t device = 0;
  int64_t directory = 0;
  std::string name;
  int64_t node = -1;

  bool operator==(const Notice&) const = default;
  friend std::ostream& operator<<(std::ostream& out, const Notice& n) {
    return out << "{opcode " << n.opcode << ", device " << n.device << ", directory " << n.directory
               << ", name \"" << n.name << "\", node " << n.node << "}";
  }
};

inline Notice Created(const kit::NodeRef& directory, const std::string& name) {
  return Notice{kit::kEntryCreated, directory.device, directory.node, name};
}

inline Notice Removed(const kit::NodeRef& directory, int64_t node) {
  return Notice{kit::kEntryRemoved, directory.device, directory.node, "", node};
}

class RecordingLooper : public kit::Looper {
 public:
  ~RecordingLooper() override { Quit(); }  // before this object's parts go

  // The next notification, or none when nothing arrives within `seconds`.
  std::optional<Notice> Next(int seconds = 5) {
    std::unique_lock<std::mutex> lock(mutex_);
    if (!arrived_.wait_for(lock, std::chrono::seconds(seconds), [&] { return !notices_.empty(); }))
      return std::nullopt;
    Notice notice = notices_.front();
    notices_.pop_front();
    return notice;
  }

 protected:
  void MessageReceived(kit::Message* message) override {
    if (message->what != kit::kNodeMonitorMessage) return;
    Notice notice;
    message->FindInt32("opcode", &notice.opcode);
    message->FindInt32("device", &notice.device);
    message->FindInt64("directory", &notice.directory);
    message->FindString("name", &notice.name);
    message->FindInt64("node", &notice.node);
    std::lock_guard<std::mutex> guard(mutex_);
    notices_.push_back(notice);
    arrived_.notify_all();
  }

 private:
  std::mutex mutex_;
  std::condition_variable arrived_;
  std::deque<Notice> notices_;
};

}  // namespace hosttest
