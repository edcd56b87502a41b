// An open usbfs node in the hands of libusb: one call per operation, nothing else.
#pragma once

#include <libusb.h>

#include <memory>

#include "kit/host/UsbHandle.h"

namespace kit {

class LibusbHandle : public UsbHandle {
 public:
  // Takes over `fd` (an open usbfs node); none, with `fd` closed, when libusb refuses it.
  static std::unique_ptr<LibusbHandle> Wrap(int fd);
  ~LibusbHandle() override;  // closes the handle, then the node

  LibusbHandle(const LibusbHandle&) = delete;
  LibusbHandle& operator=(const LibusbHandle&) = delete;

  int GetConfiguration(int* value) override;
  int SetConfiguration(int value) override;
  int ClaimInterface(int number) override;
  int ReleaseInterface(int number) override;
  int ControlTransfer(uint8_t request_type, uint8_t request, uint16_t value, uint16_t index,
                      uint8_t* data, uint16_t length) override;
  int StringDescriptor(uint8_t index, uint16_t language, uint8_t* data, int length) override;
  int BulkTransfer(uint8_t endpoint, uint8_t* data, int length, int* transferred) override;
  int InterruptTransfer(uint8_t endpoint, uint8_t* data, int length, int* transferred) override;

 private:
  LibusbHandle(libusb_device_handle* handle, int fd) : handle_(handle), fd_(fd) {}

  libusb_device_handle* handle_;
  int fd_;
};

}  // namespace kit
