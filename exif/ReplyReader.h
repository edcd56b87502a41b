// Reads the data part of a camera reply from the input pipe in pieces, and reads what the
// parser leaves of it, so that the next reply on the pipe starts where it should.
#pragma once

#include <sys/types.h>
#include <cstddef>
#include <cstdint>

#include "usb/ReadAhead.h"

class USBEndpoint;

namespace exif {

class ReplyReader {
 public:
  // The camera buffer holds one piece.
  static constexpr uint32_t kPieceSize = 4096;
  // A pipe that keeps answering with nothing has stopped sending: give up after this many
  // empty reads in a row.
  static constexpr int kMaxEmptyReads = 16;

  // The reply's pieces are read ahead while the reader exists.
  ReplyReader(const USBEndpoint* endpoint, unsigned char* buffer, uint64_t length)
      : endpoint_(endpoint),
        buffer_(buffer),
        remaining_(length),
        ahead_(endpoint, length, kPieceSize) {}

  // Bytes of the reply not yet read.
  uint64_t Remaining() const { return remaining_; }

  // Reads the next bytes of the reply at the start of the buffer, asking for
  // min(remaining, kPieceSize) bytes every time, as the camera frames its replies: a request
  // for the rest of a piece after a short read would not be a whole number of packets, and a
  // full packet sent into it overflows. Sets `*data` to the buffer and returns the count (at
  // least 1), or -1 when a transfer fails. Only while Remaining() is not zero.
  ssize_t Next(const unsigned char** data);

  // Reads and drops the rest of the reply; false when a transfer fails.
  bool Drain();

 private:
  const USBEndpoint* endpoint_;
  unsigned char* buffer_;
  uint64_t remaining_;
  ReadAhead ahead_;
};

}  // namespace exif
