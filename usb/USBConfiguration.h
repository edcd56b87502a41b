// One configuration of a device, its interfaces and their endpoints.
#pragma once

#include <sys/types.h>
#include <cstdint>
#include <memory>
#include <vector>

#include "usb/USBDescriptors.h"

class USBDevice;
class USBInterface;
class USBEndpoint;

class USBConfiguration {
 public:
  USBConfiguration(uint32_t index, USBDevice* device);
  ~USBConfiguration();

  uint32_t Index() const { return index_; }
  uint32_t CountInterfaces() const { return descriptor_.bNumInterfaces; }
  const USBInterface* InterfaceAt(uint32_t position) const;
  const usb_configuration_descriptor* Descriptor() const { return &descriptor_; }
  const USBDevice* Device() const { return device_; }

 private:
  USBDevice* device_;
  uint32_t index_;
  usb_configuration_descriptor descriptor_{};
  std::vector<std::unique_ptr<USBInterface>> interfaces_;

  friend class USBDevice;
};

class USBInterface {
 public:
  USBInterface(uint32_t index, USBConfiguration* configuration);
  ~USBInterface();

  uint32_t Index() const { return index_; }
  uint32_t CountEndpoints() const { return descriptor_.bNumEndpoints; }
  const USBEndpoint* EndpointAt(uint32_t position) const;
  int OtherDescriptorAt(uint32_t index, usb_descriptor* descriptor, uint32_t size) const;
  const usb_interface_descriptor* Descriptor() const { return &descriptor_; }
  uint8_t Class() const { return descriptor_.bInterfaceClass; }
  uint8_t Subclass() const { return descriptor_.bInterfaceSubClass; }
  uint8_t Protocol() const { return descriptor_.bInterfaceProtocol; }
  const char* InterfaceString() const { return nullptr; }
  const USBConfiguration* Configuration() const { return configuration_; }
  const USBDevice* Device() const { return configuration_->Device(); }

 private:
  USBConfiguration* configuration_;
  usb_interface_descriptor descriptor_{};
  uint32_t index_;
  std::vector<std::unique_ptr<USBEndpoint>> endpoints_;

  friend class USBDevice;
};

class USBEndpoint {
 public:
  USBEndpoint(uint32_t index, USBInterface* interface);
  ~USBEndpoint() = default;

  uint32_t Index() const { return index_; }
  const USBInterface* Interface() const { return interface_; }
  const USBConfiguration* Configuration() const { return interface_->Configuration(); }
  const USBDevice* Device() const { return interface_->Device(); }
  const usb_endpoint_descriptor* Descriptor() const { return &descriptor_; }

  bool IsBulk() const { return (descriptor_.bmAttributes & 3) == 2; }
  bool IsInterrupt() const { return (descriptor_.bmAttributes & 3) == 3; }
  bool IsIsochronous() const { return (descriptor_.bmAttributes & 3) == 1; }
  bool IsInput() const { return (descriptor_.bEndpointAddress & 0x80) != 0; }
  bool IsOutput() const { return (descriptor_.bEndpointAddress & 0x80) == 0; }
  uint16_t MaxPacketSize() const { return descriptor_.wMaxPacketSize; }
  uint8_t Interval() const { return descriptor_.bInterval; }

  ssize_t BulkTransfer(void* data, uint32_t length) const;
  ssize_t InterruptTransfer(void* data, uint32_t length) const;

 private:
  USBInterface* interface_;
  usb_endpoint_descriptor descriptor_{};
  uint32_t index_;

  friend class USBDevice;
};
