// A raw driver node over the host's USB library: descriptors come from the node's own
// descriptor blob, everything that must reach the device goes through the handle.
#pragma once

#include <memory>
#include <optional>

#include "kit/RawUsb.h"
#include "kit/host/UsbHandle.h"
#include "kit/host/UsbfsDescriptors.h"

namespace kit {

class HostUsbNode : public RawUsbNode {
 public:
  HostUsbNode(std::unique_ptr<UsbHandle> handle, UsbfsDescriptors descriptors)
      : handle_(std::move(handle)), descriptors_(std::move(descriptors)) {}
  ~HostUsbNode() override;  // gives a claimed interface back before the node closes

  RawReply DriverVersion(uint32_t* version) override;
  RawReply DeviceDescriptor(uint8_t descriptor[18]) override;
  RawReply ConfigurationDescriptor(uint32_t configuration, uint8_t descriptor[9]) override;
  RawReply InterfaceDescriptor(uint32_t configuration, uint32_t interface,
                               uint8_t descriptor[9]) override;
  RawReply EndpointDescriptor(uint32_t configuration, uint32_t interface, uint32_t endpoint,
                              uint8_t descriptor[7]) override;
  RawReply StringDescriptor(uint32_t index, uint8_t* buffer, uint32_t* length) override;
  RawReply OtherDescriptor(uint32_t configuration, uint32_t interface, uint32_t index,
                           uint8_t* buffer, uint32_t size) override;
  RawReply Descriptor(uint8_t type, uint8_t index, uint16_t language, uint8_t* buffer,
                      uint32_t* length) override;
  RawReply SetConfiguration(uint32_t configuration) override;
  RawReply ControlTransfer(uint8_t request_type, uint8_t request, uint16_t value, uint16_t index,
                           uint16_t* length, void* data) override;
  RawReply InterruptTransfer(uint32_t interface, uint32_t endpoint, void* data,
                             uint32_t* length) override;
  RawReply BulkTransfer(uint32_t interface, uint32_t endpoint, void* data,
                        uint32_t* length) override;
  void StartReadAhead(uint32_t interface, uint32_t endpoint, uint64_t total,
                      uint32_t piece) override;
  void EndReadAhead(uint32_t interface, uint32_t endpoint) override;

 private:
  std::optional<uint8_t> ActiveEndpoint(uint32_t interface, uint32_t endpoint) const;
  RawReply Outcome(int result);
  RawReply Transfer(bool bulk, uint32_t interface, uint32_t endpoint, void* data, uint32_t* length);
  std::optional<uint16_t> Language();
  void ReleaseClaimed();

  std::unique_ptr<UsbHandle> handle_;
  UsbfsDescriptors descriptors_;
  std::optional<uint32_t> active_;    // position of the configuration set through this node
  std::optional<uint8_t> claimed_;    // bInterfaceNumber of the claimed interface
  std::optional<uint16_t> language_;  // first language ID of the device's strings
  bool gone_ = false;                 // the device was unplugged
};

}  // namespace kit
