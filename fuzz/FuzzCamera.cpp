#include "fuzz/FuzzCamera.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "sim/SimPlatform.h"
#include "usb/USBDevice.h"

namespace fuzzsupport {

namespace {

constexpr uint8_t kFail = 0;
constexpr uint8_t kNothing = 1;
constexpr uint8_t kZeros = 2;
constexpr uint8_t kAll = 3;
// Above kAll a decision limits the bytes to itself less kAll.
constexpr uint32_t kMostLimited = 255 - kAll;

uint32_t Limit(uint8_t decision, uint32_t length) {
  return decision > kAll ? std::min<uint32_t>(length, decision - kAll) : length;
}

// The decision that moves `moved` of `requested` bytes, or none.
std::optional<uint8_t> Moving(uint32_t moved, uint32_t requested) {
  if (moved == 0) return kNothing;
  if (moved == requested) return kAll;
  if (moved <= kMostLimited) return uint8_t(moved + kAll);
  return std::nullopt;
}

}  // namespace

FuzzCamera::FuzzCamera(FuzzInput& input, uint16_t product)
    : SimDevice(sim::MakeDeviceSet(0x04A9, product,
                                   {sim::MakeEndpointDescriptor(0x81, sim::kBulk),
                                    sim::MakeEndpointDescriptor(0x02, sim::kBulk)},
                                   u"Canon Inc.", u"Fuzzed camera")),
      input_(input) {}

kit::RawReply FuzzCamera::HandleControl(const sim::ControlSetup& setup, uint8_t* data,
                                        uint32_t* length) {
  if (setup.IsInput()) return Deliver(data, length);
  return input_.Byte() == kFail ? kit::RawReply::Failed() : kit::RawReply{};
}

kit::RawReply FuzzCamera::HandlePipe(sim::TransferKind, uint8_t endpoint, uint8_t* data,
                                     uint32_t* length) {
  return endpoint & 0x80 ? Deliver(data, length) : Take(length);
}

kit::RawReply FuzzCamera::Deliver(uint8_t* data, uint32_t* length) {
  if (input_.Empty()) return kit::RawReply::Failed();
  uint8_t decision = input_.Byte();
  if (decision == kFail) return kit::RawReply::Failed();
  if (decision == kNothing) {
    *length = 0;
  } else if (decision == kZeros && input_.TakeFill()) {
    memset(data, 0, *length);
  } else {
    *length = uint32_t(input_.Bytes(data, Limit(decision, *length)));
  }
  return {};
}

kit::RawReply FuzzCamera::Take(uint32_t* length) {
  uint8_t decision = input_.Byte();
  if (decision == kFail) return kit::RawReply::Failed();
  *length = decision == kNothing ? 0 : Limit(decision, *length);
  return {};
}

std::unique_ptr<USBDevice> PlugFuzzCamera(FuzzInput& input, const char* node, uint16_t product) {
  static std::shared_ptr<sim::SimPlatform> platform;
  if (platform == nullptr) {
    platform = std::make_shared<sim::SimPlatform>();
    kit::InstallPlatform(platform);
  }
  auto camera = std::make_shared<FuzzCamera>(input, product);
  camera->KeepTransfers(false);
  platform->Bus().Plug(node, camera);
  auto device = std::make_unique<USBDevice>(node);
  if (device->SetConfiguration(device->ConfigurationAt(0)) != 0) abort();
  return device;
}

std::optional<std::vector<uint8_t>> EncodeAnswers(const std::vector<sim::TransferRecord>& records) {
  std::vector<uint8_t> answers;
  for (const sim::TransferRecord& record : records) {
    if (record.kind == sim::TransferKind::kInterrupt) return std::nullopt;
    std::optional<uint8_t> moving = Moving(record.transferred, record.requested);
    if (!record.Ok()) {
      answers.push_back(kFail);
    } else if (record.kind == sim::TransferKind::kControl && !record.IsInput()) {
      answers.push_back(kAll);
    } else if (!moving) {
      return std::nullopt;
    } else {
      answers.push_back(*moving);
      if (record.IsInput()) answers.insert(answers.end(), record.data.begin(), record.data.end());
    }
  }
  return answers;
}

}  // namespace fuzzsupport
