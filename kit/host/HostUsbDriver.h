// Opens usbfs nodes below /dev/bus/usb for the raw driver interface.
#pragma once

#include <cstdint>
#include <vector>

#include "kit/RawUsb.h"

namespace kit {

class HostUsbDriver : public RawUsbDriver {
 public:
  // None when the node cannot be opened for reading and writing or is no usbfs node.
  std::unique_ptr<RawUsbNode> Open(const std::string& path) override;
};

// Everything the node delivers when read from offset 0, wherever its file position is.
std::vector<uint8_t> ReadDescriptorBlob(int fd);

}  // namespace kit
