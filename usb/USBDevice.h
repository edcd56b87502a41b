// The USB device model: one open node of the raw driver and the tree of configurations,
// interfaces and endpoints built from its descriptors.
#pragma once

#include <sys/types.h>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "kit/RawUsb.h"
#include "usb/USBDescriptors.h"

class USBConfiguration;
class USBInterface;
class USBEndpoint;

class USBDevice {
 public:
  explicit USBDevice(const char* path);
  virtual ~USBDevice();

  USBDevice(const USBDevice&) = delete;
  USBDevice& operator=(const USBDevice&) = delete;

  int SetTo(const char* path);
  virtual int InitCheck();
  void Release();

  const char* Location() const;
  bool IsHub() const { return hub_; }

  const usb_device_descriptor* Descriptor() const { return &descriptor_; }
  uint16_t USBVersion() const { return descriptor_.bcdUSB; }
  uint8_t Class() const { return descriptor_.bDeviceClass; }
  uint8_t Subclass() const { return descriptor_.bDeviceSubClass; }
  uint8_t Protocol() const { return descriptor_.bDeviceProtocol; }
  uint8_t MaxEndpoint0PacketSize() const { return descriptor_.bMaxPacketSize0; }
  uint16_t VendorID() const { return descriptor_.idVendor; }
  uint16_t ProductID() const { return descriptor_.idProduct; }
  uint16_t Version() const { return descriptor_.bcdDevice; }

  const char* ManufacturerString() const;
  const char* ProductString() const;
  const char* SerialNumberString() const;

  uint32_t CountConfigurations() const;
  const USBConfiguration* ConfigurationAt(uint32_t position) const;
  const USBConfiguration* ActiveConfiguration() const { return active_; }
  int SetConfiguration(const USBConfiguration* configuration);

  ssize_t ControlTransfer(uint8_t request_type, uint8_t request, uint16_t value, uint16_t index,
                          uint16_t length, void* data) const;
  ssize_t BulkTransfer(const USBEndpoint* endpoint, void* data, uint32_t length) const;
  ssize_t InterruptTransfer(const USBEndpoint* endpoint, void* data, uint32_t length) const;
  // See kit::RawUsbNode. PICTROVE_SYNCHRONOUS_READS=1 in the environment turns reading ahead
  // off, for a camera that does not bear it and to measure what it gains.
  void StartReadAhead(const USBEndpoint* endpoint, uint64_t total, uint32_t piece) const;
  void EndReadAhead(const USBEndpoint* endpoint) const;

  size_t GetStringDescriptor(uint32_t index, usb_string_descriptor* descriptor,
                             uint32_t size) const;
  // A new text the caller owns (delete[]), or none.
  char* DecodeStringDescriptor(uint32_t index) const;
  size_t GetDescriptor(uint8_t type, uint8_t index, uint16_t language, void* data,
                       uint32_t size) const;
  int GetOtherDescr(uint32_t configuration, uint32_t interface, uint32_t index,
                    usb_descriptor* descriptor, uint32_t size) const;

 private:
  void PopulateDevice();
  void PopulateConfig(USBConfiguration* configuration);
  void PopulateInterface(USBInterface* interface);
  const char* CachedString(uint8_t index, std::unique_ptr<char[]>* cache) const;
  // Whether the endpoint is this open device's own.
  bool Serves(const USBEndpoint* endpoint) const;
  ssize_t PipeTransfer(const USBEndpoint* endpoint, void* data, uint32_t length,
                       bool interrupt) const;

  mutable std::unique_ptr<char[]> serial_;
  mutable std::unique_ptr<char[]> manufacturer_;
  mutable std::unique_ptr<char[]> product_;
  std::unique_ptr<char[]> location_;
  bool hub_ = false;
  std::unique_ptr<kit::RawUsbNode> node_;
  usb_device_descriptor descriptor_{};
  const USBConfiguration* active_ = nullptr;
  std::vector<std::unique_ptr<USBConfiguration>> configurations_;

  friend class USBConfiguration;
  friend class USBInterface;
};
