#include "sim/ReadAheadModel.h"

#include <algorithm>
#include <utility>

#include "kit/RawUsb.h"

namespace sim {

void ReadAheadModel::Start(uint8_t endpoint, uint64_t total, uint32_t piece,
                           Clock::time_point now) {
  End();
  endpoint_ = endpoint;
  unissued_ = total;
  piece_ = piece;
  while (in_flight_.size() < kit::kReadAheadPieces && unissued_ > 0) Issue(now);
}

void ReadAheadModel::End() {
  in_flight_.clear();
  unissued_ = 0;
  taken_ = false;
}

void ReadAheadModel::Issue(Clock::time_point now) {
  unissued_ -= std::min<uint64_t>(unissued_, piece_);
  in_flight_.push_back(now);
}

ReadAheadModel::Clock::time_point ReadAheadModel::Issued(uint8_t endpoint, Clock::time_point now) {
  taken_ = endpoint == endpoint_ && !in_flight_.empty();
  if (!taken_) return now;
  Clock::time_point issued = in_flight_.front();
  in_flight_.pop_front();
  return issued;
}

void ReadAheadModel::HandedOver(uint8_t endpoint, bool ok, Clock::time_point now) {
  if (endpoint != endpoint_ || !std::exchange(taken_, false)) return;
  if (!ok)
    End();
  else if (unissued_ > 0)
    Issue(now);
}

}  // namespace sim
