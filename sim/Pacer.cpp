#include "sim/Pacer.h"

#include <sys/prctl.h>

#include <algorithm>
#include <thread>

namespace sim {

namespace {

// More than a sleeping thread takes to be woken and run again on a loaded machine.
constexpr auto kWakeUp = std::chrono::microseconds(200);

}  // namespace

void Pacer::SetRate(uint64_t bytes_per_second) {
  std::lock_guard lock(mutex_);
  rate_ = bytes_per_second;
  charged_ = 0;
  bus_free_ = Clock::time_point();
}

uint64_t Pacer::Rate() const {
  std::lock_guard lock(mutex_);
  return rate_;
}

uint64_t Pacer::Charged() const {
  std::lock_guard lock(mutex_);
  return charged_;
}

Pacer::Clock::time_point Pacer::Charge(uint64_t bytes, Clock::time_point issued) {
  std::lock_guard lock(mutex_);
  if (rate_ == 0) return issued;
  charged_ += bytes;
  auto on_wire = std::chrono::duration<double>(double(bytes) / double(rate_));
  bus_free_ = std::max(issued, bus_free_) + std::chrono::duration_cast<Clock::duration>(on_wire);
  return bus_free_;
}

void Pacer::Account(uint64_t bytes, Clock::time_point issued) {
  // A transfer completes when its bytes are through, and the host hears of it at once: the
  // kernel's default 50 µs of timer slack, and a sleeping thread's wake-up, would be the
  // emulator's own delay. So the thread sleeps with no slack up to shortly before the end,
  // and waits out the rest awake.
  thread_local const int slack_set = prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
  static_cast<void>(slack_set);
  Clock::time_point complete = Charge(bytes, issued);
  std::this_thread::sleep_until(complete - kWakeUp);
  while (Clock::now() < complete) {
  }
}

}  // namespace sim
