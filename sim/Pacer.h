// Keeps bulk data to a byte rate as a bus would: a transfer's bytes flow only while it is
// pending, one transfer after another, so time with nothing pending is lost, never banked.
#pragma once

#include <chrono>
#include <cstdint>
#include <mutex>

namespace sim {

// USB full speed moves at most this much bulk data a second.
constexpr uint64_t kFullSpeedBytesPerSecond = 1'216'000;

class Pacer {
 public:
  using Clock = std::chrono::steady_clock;

  // 0 stops pacing. Every change frees the bus.
  void SetRate(uint64_t bytes_per_second);
  uint64_t Rate() const;
  // The bytes charged since the rate was set: what the bus carried.
  uint64_t Charged() const;
  // When a transfer of these bytes issued at that moment is complete: its bytes start when it
  // is issued or when the bus is free of the transfers before it, whichever is later.
  // Without a rate, at once.
  Clock::time_point Charge(uint64_t bytes, Clock::time_point issued);
  // Charges the transfer and sleeps (outside every lock) until it is complete.
  void Account(uint64_t bytes, Clock::time_point issued);

 private:
  mutable std::mutex mutex_;
  uint64_t rate_ = 0;
  uint64_t charged_ = 0;
  Clock::time_point bus_free_;
};

}  // namespace sim
