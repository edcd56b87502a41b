// Keeps bulk data to a byte rate: after each transfer the caller sleeps until the bytes
// moved so far, at that rate, would have taken the time elapsed since pacing began.
#pragma once

#include <chrono>
#include <cstdint>
#include <mutex>

namespace sim {

// USB full speed moves at most this much bulk data a second.
constexpr uint64_t kFullSpeedBytesPerSecond = 1'216'000;

class Pacer {
 public:
  // 0 stops pacing. Every change starts counting afresh.
  void SetRate(uint64_t bytes_per_second);
  uint64_t Rate() const;
  // Counts the bytes and sleeps (outside every lock) until they are due.
  void Account(uint64_t bytes);

 private:
  mutable std::mutex mutex_;
  uint64_t rate_ = 0;
  uint64_t bytes_ = 0;
  std::chrono::steady_clock::time_point start_;
  bool started_ = false;
};

}  // namespace sim
