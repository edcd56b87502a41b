#include "sim/DeviceFaults.h"

namespace sim {

std::optional<TransferFault> DeviceFaults::TakeTransferFault(uint64_t number) {
  auto found = transfers_.find(number);
  if (found == transfers_.end()) return std::nullopt;
  TransferFault fault = found->second;
  transfers_.erase(found);
  return fault;
}

}  // namespace sim
