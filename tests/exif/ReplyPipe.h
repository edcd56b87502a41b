// A thumbnail reply served by a simulated input pipe, and what the parser makes of it.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "kit/ByteStream.h"
#include "sim/SimPlatform.h"
#include "sim/StreamDevice.h"
#include "usb/USBConfiguration.h"
#include "usb/USBDevice.h"

class pic_Item;

namespace exiftest {

class ReplyPipe {
 public:
  // Installs a simulated platform with a stream device that serves `bytes` in `pieces`
  // (see sim::StreamDevice) and opens its input pipe.
  explicit ReplyPipe(std::vector<uint8_t> bytes, std::vector<uint32_t> pieces = {});

  // Parses the next `length` bytes of the pipe as one reply. The camera buffer starts full
  // of 0xFF so that bytes the pipe never delivered cannot pass for data.
  bool Parse(unsigned long length, pic_Item* picture, kit::ByteStream* thumbnail);

  // Bytes the device still holds.
  size_t Unread() const { return stream_->Remaining(); }
  sim::StreamDevice& Device() { return *stream_; }

 private:
  std::shared_ptr<sim::SimPlatform> platform_;
  std::shared_ptr<sim::StreamDevice> stream_;
  std::unique_ptr<USBDevice> device_;
  const USBEndpoint* endpoint_ = nullptr;
  unsigned char buffer_[5200];
};

struct Parsed {
  bool ok = false;
  uint32_t xres = 0;
  uint32_t yres = 0;
  uint32_t flash = 0;
  uint32_t orientation = 0;
  std::vector<uint8_t> thumbnail;
  size_t unread = 0;

  bool operator==(const Parsed&) const = default;
};

// The whole of `reply` through a fresh pipe, into a fresh record.
Parsed ParseReply(const std::vector<uint8_t>& reply, std::vector<uint32_t> pieces = {});

}  // namespace exiftest
