#include "exif/ReplyReader.h"

#include <algorithm>

#include "usb/USBConfiguration.h"

namespace exif {

ssize_t ReplyReader::Next(const unsigned char** data) {
  uint32_t wanted = uint32_t(std::min<uint64_t>(remaining_, kPieceSize));
  for (int empty_reads = 0; empty_reads < kMaxEmptyReads; ++empty_reads) {
    ssize_t got = endpoint_->BulkTransfer(buffer_, wanted);
    // The device model never reports more than was asked for.
    if (got < 0) return -1;
    if (got == 0) continue;
    *data = buffer_;
    remaining_ -= uint64_t(got);
    return got;
  }
  return -1;
}

bool ReplyReader::Drain() {
  const unsigned char* ignored;
  while (remaining_ > 0) {
    if (Next(&ignored) < 0) return false;
  }
  return true;
}

}  // namespace exif
