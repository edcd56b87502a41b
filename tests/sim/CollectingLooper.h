// A real looper that keeps every node monitor notification it handles, and can wait until
// everything posted before a point in time has been handled.
#pragma once

#include <condition_variable>
#include <mutex>
#include <vector>

#include "kit/DeviceTree.h"
#include "kit/Looper.h"

namespace simtest {

struct Notification {
  int32_t opcode = 0;
  int32_t device = 0;
  int64_t directory = 0;
  std::string name;  // creations
  int64_t node = 0;  // removals
};

class CollectingLooper : public kit::Looper {
 public:
  CollectingLooper() { Run(); }
  ~CollectingLooper() override { Quit(); }

  // Waits until the looper has handled every message posted before this call.
  bool Flush();
  std::vector<Notification> Take();

 protected:
  void MessageReceived(kit::Message* message) override;

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<Notification> notifications_;
  int flushed_ = 0;
};

}  // namespace simtest
