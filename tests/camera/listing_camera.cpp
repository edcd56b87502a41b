#include "tests/camera/listing_camera.h"

#include <algorithm>

#include "kit/Platform.h"

namespace listing_test {

namespace {
constexpr const char* kNode = "/dev/bus/usb/001/002";
}

PluggedDevice::PluggedDevice(std::shared_ptr<sim::SimDevice> device)
    : platform_(std::make_shared<sim::SimPlatform>()), sim_(std::move(device)) {
  kit::InstallPlatform(platform_);
  platform_->Bus().Plug(kNode, sim_);
  device_ = std::make_unique<USBDevice>(kNode);
  device_->SetConfiguration(device_->ConfigurationAt(0));
  sim_->ClearTransfers();
}

PluggedDevice::~PluggedDevice() {
  device_.reset();
  kit::InstallPlatform(nullptr);
}

std::vector<uint32_t> PluggedDevice::BulkRequests() const {
  std::vector<uint32_t> sizes;
  for (const sim::TransferRecord& record : sim_->Transfers())
    if (record.kind == sim::TransferKind::kBulk) sizes.push_back(record.requested);
  return sizes;
}

std::vector<sim::TransferRecord> PluggedDevice::Commands() const {
  std::vector<sim::TransferRecord> commands;
  for (const sim::TransferRecord& record : sim_->Transfers())
    if (record.kind == sim::TransferKind::kControl) commands.push_back(record);
  return commands;
}

std::vector<uint8_t> DataReply(const std::vector<uint8_t>& data, uint32_t length) {
  std::vector<uint8_t> reply(64 + data.size());
  for (int i = 0; i < 4; i++) reply[6 + i] = uint8_t(length >> (8 * i));
  std::copy(data.begin(), data.end(), reply.begin() + 64);
  return reply;
}

std::vector<uint8_t> DataReply(const std::vector<uint8_t>& data) {
  return DataReply(data, uint32_t(data.size()));
}

}  // namespace listing_test
