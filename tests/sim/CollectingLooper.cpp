#include "tests/sim/CollectingLooper.h"

#include <chrono>
#include <utility>

namespace simtest {

namespace {
constexpr uint32_t kFlush = kit::FourCC("FLSH");
}

bool CollectingLooper::Flush() {
  std::unique_lock lock(mutex_);
  int target = flushed_ + 1;
  lock.unlock();
  if (!PostMessage(kit::Message(kFlush))) return false;
  lock.lock();
  return changed_.wait_for(lock, std::chrono::seconds(10), [&] { return flushed_ >= target; });
}

std::vector<Notification> CollectingLooper::Take() {
  std::lock_guard lock(mutex_);
  return std::exchange(notifications_, {});
}

void CollectingLooper::MessageReceived(kit::Message* message) {
  std::lock_guard lock(mutex_);
  if (message->what == kFlush) {
    ++flushed_;
    changed_.notify_all();
    return;
  }
  if (message->what != kit::kNodeMonitorMessage) return;
  Notification n;
  message->FindInt32("opcode", &n.opcode);
  message->FindInt32("device", &n.device);
  message->FindInt64("directory", &n.directory);
  message->FindString("name", &n.name);
  message->FindInt64("node", &n.node);
  notifications_.push_back(n);
}

}  // namespace simtest
