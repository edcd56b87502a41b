#include "sim/StreamDevice.h"

#include <algorithm>
#include <cstring>

#include "sim/SimPlatform.h"

namespace sim {

namespace {

DescriptorSet StreamDescriptors() {
  return MakeDeviceSet(0xF055, 0x5354, {MakeEndpointDescriptor(0x81, kBulk)}, u"Simulated",
                       u"Byte stream");
}

}  // namespace

StreamDevice::StreamDevice(std::vector<uint8_t> bytes, std::vector<uint32_t> pieces)
    : SimDevice(StreamDescriptors()), bytes_(std::move(bytes)), pieces_(std::move(pieces)) {}

size_t StreamDevice::Remaining() const {
  std::lock_guard lock(DeviceMutex());
  return bytes_.size() - position_;
}

kit::RawReply StreamDevice::HandlePipe(TransferKind, uint8_t, uint8_t* data, uint32_t* length) {
  size_t left = bytes_.size() - position_;
  if (left == 0 && *length != 0) return kit::RawReply::Failed();
  size_t n = std::min<size_t>(*length, left);
  if (piece_ < pieces_.size()) n = std::min<size_t>(n, pieces_[piece_++]);
  if (n != 0) std::memcpy(data, bytes_.data() + position_, n);
  position_ += n;
  *length = uint32_t(n);
  return {};
}

std::shared_ptr<StreamDevice> PlugStream(SimPlatform& platform, const std::string& path,
                                         std::vector<uint8_t> bytes, std::vector<uint32_t> pieces) {
  auto device = std::make_shared<StreamDevice>(std::move(bytes), std::move(pieces));
  if (!platform.Bus().Plug(path, device)) return nullptr;
  return device;
}

}  // namespace sim
