// A device with one bulk IN endpoint (position 0 of interface 0) that serves a byte
// vector: each read delivers the smallest of the bytes asked for, the bytes left and the
// next piece size of the schedule (sizes of 0 allowed; once the schedule is used up,
// pieces are unlimited). A read with nothing left fails.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "sim/SimDevice.h"

namespace sim {

class SimPlatform;

class StreamDevice : public SimDevice {
 public:
  explicit StreamDevice(std::vector<uint8_t> bytes, std::vector<uint32_t> pieces = {});

  size_t Remaining() const;

 protected:
  kit::RawReply HandlePipe(TransferKind kind, uint8_t endpoint, uint8_t* data,
                           uint32_t* length) override;

 private:
  std::vector<uint8_t> bytes_;
  std::vector<uint32_t> pieces_;
  size_t position_ = 0;
  size_t piece_ = 0;
};

// Makes a stream device and plugs it into the platform's bus at `path`.
std::shared_ptr<StreamDevice> PlugStream(SimPlatform& platform, const std::string& path,
                                         std::vector<uint8_t> bytes,
                                         std::vector<uint32_t> pieces = {});

}  // namespace sim
