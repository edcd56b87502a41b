// An open usbfs node in the hands of libusb: one call per operation, and bulk replies read
// ahead when their length is announced.
#pragma once

#include <libusb.h>

#include <memory>

#include "kit/host/BulkReadAhead.h"
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
  void StartReadAhead(uint8_t endpoint, uint64_t total, uint32_t piece) override;
  void EndReadAhead(uint8_t endpoint) override;

 private:
  LibusbHandle(libusb_context* context, libusb_device_handle* handle, int fd);

  libusb_device_handle* handle_;
  int fd_;
  BulkReadAhead ahead_;
};

}  // namespace kit
