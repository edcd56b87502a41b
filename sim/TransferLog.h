// The record of every control, bulk and interrupt transfer a simulated device saw, for
// byte-exact assertions.
#pragma once

#include <cstdint>
#include <vector>

#include "kit/RawUsb.h"

namespace sim {

enum class TransferKind { kControl, kBulk, kInterrupt };

struct TransferRecord {
  TransferKind kind = TransferKind::kControl;
  // Control transfers only.
  uint8_t request_type = 0;
  uint8_t request = 0;
  uint16_t value = 0;
  uint16_t index = 0;
  // Bulk and interrupt transfers: the endpoint's address, 0 when the position named none.
  uint8_t endpoint = 0;
  uint32_t requested = 0;
  // Host to device: the bytes the host offered. Device to host: the bytes delivered.
  std::vector<uint8_t> data;
  kit::RawReply reply;
  uint32_t transferred = 0;

  bool IsInput() const;
  bool Ok() const { return reply.Ok(); }
};

class TransferLog {
 public:
  void Add(TransferRecord record) { records_.push_back(std::move(record)); }
  const std::vector<TransferRecord>& Records() const { return records_; }
  void Clear() { records_.clear(); }

 private:
  std::vector<TransferRecord> records_;
};

}  // namespace sim
