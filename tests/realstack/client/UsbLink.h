// A USB client's own link to one device node through libusb: the node opened and wrapped,
// interface 0 claimed as it comes (no configuration set), synchronous control and bulk
// transfers, and one asynchronous interrupt read that can be waited for or cancelled.
#pragma once

#include <libusb.h>

#include <cstdint>
#include <string>
#include <vector>

namespace client {

class UsbLink {
 public:
  UsbLink() = default;
  ~UsbLink();
  UsbLink(const UsbLink&) = delete;
  UsbLink& operator=(const UsbLink&) = delete;

  // An empty text on success, else what failed.
  std::string Open(const char* node);

  // Bytes moved, or a negative libusb error.
  int ControlIn(uint8_t request, uint16_t value, uint8_t* data, uint16_t length);
  int ControlOut(uint8_t request, uint16_t value, const std::vector<uint8_t>& data);
  int BulkIn(uint8_t* data, int length);

  // The interrupt read: submitted, then waited for until it ends (completed, cancelled or
  // timed out); the libusb transfer status, and the bytes it brought.
  bool SubmitInterrupt(unsigned int timeout_ms);
  void CancelInterrupt();
  libusb_transfer_status WaitInterrupt(std::vector<uint8_t>* packet);

 private:
  static void LIBUSB_CALL Finished(libusb_transfer* transfer);

  libusb_context* context_ = nullptr;
  libusb_device_handle* handle_ = nullptr;
  libusb_transfer* interrupt_ = nullptr;
  uint8_t interrupt_buffer_[64] = {};
  int fd_ = -1;
  bool claimed_ = false;
  int interrupt_done_ = 1;
};

}  // namespace client
