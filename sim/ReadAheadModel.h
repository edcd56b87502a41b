// When a host that reads ahead has issued each piece of an announced bulk reply: up to
// kit::kReadAheadPieces are issued at once, and each one handed over issues the next. The
// simulated device moves a piece's bytes when the host asks for it, but paces it from the
// moment it was issued, so that the bus carries the next piece while the host handles the
// last, as it does with transfers in flight.
#pragma once

#include <chrono>
#include <cstdint>
#include <deque>

namespace sim {

class ReadAheadModel {
 public:
  using Clock = std::chrono::steady_clock;

  void Start(uint8_t endpoint, uint64_t total, uint32_t piece, Clock::time_point now);
  void End();
  // When the transfer the host asks for `now` on `endpoint` was issued: the next piece in
  // flight's moment, or `now` when none is.
  Clock::time_point Issued(uint8_t endpoint, Clock::time_point now);
  // That transfer was handed over `now`: the next piece is issued then; a failed one ends it.
  void HandedOver(uint8_t endpoint, bool ok, Clock::time_point now);

 private:
  void Issue(Clock::time_point now);

  uint8_t endpoint_ = 0;
  uint64_t unissued_ = 0;
  uint32_t piece_ = 0;
  std::deque<Clock::time_point> in_flight_;
  bool taken_ = false;  // the last transfer asked for was a piece in flight
};

}  // namespace sim
