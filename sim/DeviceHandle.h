// One open node of a simulated device, as the simulated driver hands it out. The device
// fails every request while it is gone; a handle opened before it was plugged in again
// keeps failing, like a file descriptor opened before the device went away.
#pragma once

#include <memory>

#include "kit/RawUsb.h"
#include "sim/SimDevice.h"

namespace sim {

class DeviceHandle : public kit::RawUsbNode {
 public:
  explicit DeviceHandle(std::shared_ptr<SimDevice> device);

  kit::RawReply DriverVersion(uint32_t* version) override;
  kit::RawReply DeviceDescriptor(uint8_t descriptor[18]) override;
  kit::RawReply ConfigurationDescriptor(uint32_t configuration, uint8_t descriptor[9]) override;
  kit::RawReply InterfaceDescriptor(uint32_t configuration, uint32_t interface,
                                    uint8_t descriptor[9]) override;
  kit::RawReply EndpointDescriptor(uint32_t configuration, uint32_t interface, uint32_t endpoint,
                                   uint8_t descriptor[7]) override;
  kit::RawReply StringDescriptor(uint32_t index, uint8_t* buffer, uint32_t* length) override;
  kit::RawReply OtherDescriptor(uint32_t configuration, uint32_t interface, uint32_t index,
                                uint8_t* buffer, uint32_t size) override;
  kit::RawReply Descriptor(uint8_t type, uint8_t index, uint16_t language, uint8_t* buffer,
                           uint32_t* length) override;
  kit::RawReply SetConfiguration(uint32_t configuration) override;
  kit::RawReply ControlTransfer(uint8_t request_type, uint8_t request, uint16_t value,
                                uint16_t index, uint16_t* length, void* data) override;
  kit::RawReply InterruptTransfer(uint32_t interface, uint32_t endpoint, void* data,
                                  uint32_t* length) override;
  kit::RawReply BulkTransfer(uint32_t interface, uint32_t endpoint, void* data,
                             uint32_t* length) override;
  void StartReadAhead(uint32_t interface, uint32_t endpoint, uint64_t total,
                      uint32_t piece) override;
  void EndReadAhead(uint32_t interface, uint32_t endpoint) override;

 private:
  // The device, or none once the device has been plugged in again since the open.
  SimDevice* Live() const;

  std::shared_ptr<SimDevice> device_;
  uint64_t generation_;
};

}  // namespace sim
