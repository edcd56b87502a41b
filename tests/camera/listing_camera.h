// A simulated device plugged in and opened through the device model, first configuration
// selected, as the protocol finds it after the handshake.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "sim/SimCamera.h"
#include "sim/SimPlatform.h"
#include "sim/StreamDevice.h"
#include "usb/USBDevice.h"

namespace listing_test {

class PluggedDevice {
 public:
  explicit PluggedDevice(std::shared_ptr<sim::SimDevice> device);
  ~PluggedDevice();

  USBDevice* Device() const { return device_.get(); }
  // The number of the transfer that comes `ahead` transfers from now (1: the next one).
  uint64_t Next(uint64_t ahead = 1) const { return sim_->TransferCount() + ahead; }
  // Transfers since the device was opened.
  std::vector<sim::TransferRecord> Transfers() const { return sim_->Transfers(); }
  // The sizes asked for by the bulk reads, in order.
  std::vector<uint32_t> BulkRequests() const;
  std::vector<sim::TransferRecord> Commands() const;

 private:
  std::shared_ptr<sim::SimPlatform> platform_;
  std::shared_ptr<sim::SimDevice> sim_;
  std::unique_ptr<USBDevice> device_;
};

// Takes every command and answers with whatever bytes it was given: replies no camera
// would send.
class ScriptedDevice : public sim::StreamDevice {
 public:
  using StreamDevice::StreamDevice;

 protected:
  kit::RawReply HandleControl(const sim::ControlSetup&, uint8_t*, uint32_t*) override { return {}; }
};

// A data reply: the 64-byte header giving `length`, then the data.
std::vector<uint8_t> DataReply(const std::vector<uint8_t>& data, uint32_t length);
std::vector<uint8_t> DataReply(const std::vector<uint8_t>& data);

}  // namespace listing_test
