#include "sim/Pacer.h"

#include <thread>

namespace sim {

void Pacer::SetRate(uint64_t bytes_per_second) {
  std::lock_guard lock(mutex_);
  rate_ = bytes_per_second;
  bytes_ = 0;
  started_ = false;
}

uint64_t Pacer::Rate() const {
  std::lock_guard lock(mutex_);
  return rate_;
}

void Pacer::Account(uint64_t bytes) {
  std::chrono::steady_clock::time_point due;
  {
    std::lock_guard lock(mutex_);
    if (rate_ == 0) return;
    if (!started_) {
      start_ = std::chrono::steady_clock::now();
      started_ = true;
    }
    bytes_ += bytes;
    auto elapsed = std::chrono::duration<double>(double(bytes_) / double(rate_));
    due = start_ + std::chrono::duration_cast<std::chrono::steady_clock::duration>(elapsed);
  }
  std::this_thread::sleep_until(due);
}

}  // namespace sim
