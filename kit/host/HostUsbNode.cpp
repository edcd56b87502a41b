#include "kit/host/HostUsbNode.h"

#include <libusb.h>

#include <algorithm>
#include <climits>
#include <cstring>

#include "kit/host/UsbAddresses.h"

namespace kit {

namespace {

// bmRequestType of a standard request to the device that reads data.
constexpr uint8_t kStandardDeviceIn = uint8_t(LIBUSB_ENDPOINT_IN) |
                                      uint8_t(LIBUSB_REQUEST_TYPE_STANDARD) |
                                      uint8_t(LIBUSB_RECIPIENT_DEVICE);

// Copies the first `size` bytes of a descriptor found in the blob; refused when the
// descriptor is missing or shorter.
RawReply Copy(std::span<const uint8_t> descriptor, uint8_t* out, size_t size) {
  if (descriptor.size() < size) return RawReply::Refused();
  memcpy(out, descriptor.data(), size);
  return {};
}

uint16_t ControlLength(uint32_t length) {
  return uint16_t(std::min<uint32_t>(length, 0xffff));
}

}  // namespace

HostUsbNode::~HostUsbNode() {
  if (!gone_) ReleaseClaimed();
}

RawReply HostUsbNode::Outcome(int result) {
  if (result == LIBUSB_ERROR_NO_DEVICE) gone_ = true;
  return result < 0 ? RawReply::Failed() : RawReply{};
}

void HostUsbNode::ReleaseClaimed() {
  if (!claimed_) return;
  Outcome(handle_->ReleaseInterface(*claimed_));
  claimed_.reset();
}

RawReply HostUsbNode::DriverVersion(uint32_t* version) {
  if (gone_) return RawReply::Failed();
  *version = kRawDriverVersion;
  return {};
}

RawReply HostUsbNode::DeviceDescriptor(uint8_t descriptor[18]) {
  if (gone_) return RawReply::Failed();
  // The device model judges this request by the call alone, so a missing descriptor must
  // fail the call rather than only set the status word.
  std::span<const uint8_t> device = descriptors_.Device();
  if (device.empty()) return RawReply::Failed();
  return Copy(device, descriptor, 18);
}

RawReply HostUsbNode::ConfigurationDescriptor(uint32_t configuration, uint8_t descriptor[9]) {
  if (gone_) return RawReply::Failed();
  return Copy(descriptors_.Configuration(configuration), descriptor, 9);
}

RawReply HostUsbNode::InterfaceDescriptor(uint32_t configuration, uint32_t interface,
                                          uint8_t descriptor[9]) {
  if (gone_) return RawReply::Failed();
  return Copy(descriptors_.Interface(configuration, interface), descriptor, 9);
}

RawReply HostUsbNode::EndpointDescriptor(uint32_t configuration, uint32_t interface,
                                         uint32_t endpoint, uint8_t descriptor[7]) {
  if (gone_) return RawReply::Failed();
  return Copy(descriptors_.Endpoint(configuration, interface, endpoint), descriptor, 7);
}

RawReply HostUsbNode::OtherDescriptor(uint32_t configuration, uint32_t interface, uint32_t index,
                                      uint8_t* buffer, uint32_t size) {
  if (gone_) return RawReply::Failed();
  std::span<const uint8_t> other = descriptors_.Other(configuration, interface, index);
  if (other.empty()) return RawReply::Refused();
  return Copy(other, buffer, std::min<size_t>(other.size(), size));
}

std::optional<uint16_t> HostUsbNode::Language() {
  if (language_) return language_;
  uint8_t table[255];
  int result = handle_->StringDescriptor(0, 0, table, sizeof table);
  Outcome(result);
  if (result >= 4 && table[0] >= 4 && table[1] == LIBUSB_DT_STRING)
    language_ = uint16_t(table[2] | table[3] << 8);
  return language_;
}

RawReply HostUsbNode::StringDescriptor(uint32_t index, uint8_t* buffer, uint32_t* length) {
  if (gone_) return RawReply::Failed();
  if (index > 0xff) return RawReply::Refused();
  // String 0 is the language table itself and is asked for without a language.
  std::optional<uint16_t> language = index == 0 ? 0 : Language();
  if (!language) return RawReply::Failed();
  int result = handle_->StringDescriptor(uint8_t(index), *language, buffer, ControlLength(*length));
  RawReply reply = Outcome(result);
  if (reply.Ok()) *length = uint32_t(result);
  return reply;
}

RawReply HostUsbNode::Descriptor(uint8_t type, uint8_t index, uint16_t language, uint8_t* buffer,
                                 uint32_t* length) {
  if (gone_) return RawReply::Failed();
  int result = handle_->ControlTransfer(kStandardDeviceIn, LIBUSB_REQUEST_GET_DESCRIPTOR,
                                        uint16_t(type << 8 | index), language, buffer,
                                        ControlLength(*length));
  RawReply reply = Outcome(result);
  if (reply.Ok()) *length = uint32_t(result);
  return reply;
}

RawReply HostUsbNode::SetConfiguration(uint32_t configuration) {
  if (gone_) return RawReply::Failed();
  std::optional<uint8_t> value = ConfigurationValue(descriptors_, configuration);
  if (!value) return RawReply::Refused();
  // The program selects the configuration before every command; setting it again while an
  // interface is claimed would fail, so an unchanged configuration is left alone. When the
  // current one cannot be read, it is set.
  int current = -1;
  int result = handle_->GetConfiguration(&current);
  if (result == LIBUSB_ERROR_NO_DEVICE) return Outcome(result);
  if (result < 0 || current != *value) {
    ReleaseClaimed();
    result = handle_->SetConfiguration(*value);
    if (result < 0) return Outcome(result);
  }
  active_ = configuration;
  if (claimed_) return {};
  std::optional<uint8_t> number = InterfaceNumber(descriptors_, configuration, 0);
  if (!number) return RawReply::Refused();
  result = handle_->ClaimInterface(*number);
  if (result < 0) return Outcome(result);
  claimed_ = number;
  return {};
}

RawReply HostUsbNode::ControlTransfer(uint8_t request_type, uint8_t request, uint16_t value,
                                      uint16_t index, uint16_t* length, void* data) {
  if (gone_) return RawReply::Failed();
  int result = handle_->ControlTransfer(request_type, request, value, index,
                                        static_cast<uint8_t*>(data), *length);
  RawReply reply = Outcome(result);
  if (reply.Ok()) *length = uint16_t(result);
  return reply;
}

std::optional<uint8_t> HostUsbNode::ActiveEndpoint(uint32_t interface, uint32_t endpoint) const {
  if (!active_) return std::nullopt;
  return EndpointAddress(descriptors_, *active_, interface, endpoint);
}

RawReply HostUsbNode::Transfer(bool bulk, uint32_t interface, uint32_t endpoint, void* data,
                               uint32_t* length) {
  if (gone_) return RawReply::Failed();
  std::optional<uint8_t> address = ActiveEndpoint(interface, endpoint);
  if (!address || *length > uint32_t(INT_MAX)) return RawReply::Refused();
  auto* bytes = static_cast<uint8_t*>(data);
  int moved = 0;
  int result = bulk ? handle_->BulkTransfer(*address, bytes, int(*length), &moved)
                    : handle_->InterruptTransfer(*address, bytes, int(*length), &moved);
  // Bytes that arrived before a timeout have left the device: they count as a short
  // transfer, so that the reader knows how much of its reply it holds.
  if (result == LIBUSB_ERROR_TIMEOUT && moved > 0) result = 0;
  RawReply reply = Outcome(result);
  if (reply.Ok()) *length = uint32_t(moved);
  return reply;
}

RawReply HostUsbNode::InterruptTransfer(uint32_t interface, uint32_t endpoint, void* data,
                                        uint32_t* length) {
  return Transfer(false, interface, endpoint, data, length);
}

RawReply HostUsbNode::BulkTransfer(uint32_t interface, uint32_t endpoint, void* data,
                                   uint32_t* length) {
  return Transfer(true, interface, endpoint, data, length);
}

void HostUsbNode::StartReadAhead(uint32_t interface, uint32_t endpoint, uint64_t total,
                                 uint32_t piece) {
  std::optional<uint8_t> address = ActiveEndpoint(interface, endpoint);
  if (gone_ || !address || !(*address & LIBUSB_ENDPOINT_IN) || piece == 0) return;
  handle_->StartReadAhead(*address, total, piece);
}

void HostUsbNode::EndReadAhead(uint32_t interface, uint32_t endpoint) {
  if (std::optional<uint8_t> address = ActiveEndpoint(interface, endpoint))
    handle_->EndReadAhead(*address);
}

}  // namespace kit
