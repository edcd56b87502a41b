#include "usb/PipeDrain.h"

#include "usb/USBConfiguration.h"

namespace {
// No reply is longer than this: a pipe that keeps sending past it is not being drained.
constexpr uint64_t kMostDrained = uint64_t(1) << 32;
}  // namespace

void DrainPipe(const USBEndpoint* pipe, unsigned char* buffer) {
  for (uint64_t drained = 0; drained < kMostDrained;) {
    ssize_t got = pipe->BulkTransfer(buffer, kDrainPiece);
    if (got <= 0) return;
    drained += uint64_t(got);
  }
}
