#include "sim/TransferLog.h"

namespace sim {

bool TransferRecord::IsInput() const {
  return (kind == TransferKind::kControl ? request_type : endpoint) & 0x80;
}

}  // namespace sim
