// Reading a reply of known length ahead of its reader, for as long as the reader is in scope.
#pragma once

#include <cstdint>

class USBEndpoint;

class ReadAhead {
 public:
  // The next reads on `pipe` take `total` bytes in pieces of at most `piece` bytes.
  ReadAhead(const USBEndpoint* pipe, uint64_t total, uint32_t piece);
  // Nothing stays in flight once the reader is done, whatever it read.
  ~ReadAhead();

  ReadAhead(const ReadAhead&) = delete;
  ReadAhead& operator=(const ReadAhead&) = delete;

 private:
  const USBEndpoint* pipe_;
};
