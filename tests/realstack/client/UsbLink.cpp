#include "tests/realstack/client/UsbLink.h"

#include <fcntl.h>
#include <unistd.h>

namespace client {

namespace {

constexpr uint8_t kBulkIn = 0x81;
constexpr uint8_t kInterruptIn = 0x83;
constexpr uint8_t kVendorIn = 0xC0;
constexpr uint8_t kVendorOut = 0x40;
constexpr unsigned int kTimeoutMs = 5000;

}  // namespace

UsbLink::~UsbLink() {
  if (interrupt_ != nullptr) {
    if (!interrupt_done_) {
      CancelInterrupt();
      std::vector<uint8_t> ignored;
      WaitInterrupt(&ignored);
    }
    libusb_free_transfer(interrupt_);
  }
  if (claimed_) libusb_release_interface(handle_, 0);
  if (handle_ != nullptr) libusb_close(handle_);
  if (context_ != nullptr) libusb_exit(context_);
  if (fd_ >= 0) close(fd_);
}

std::string UsbLink::Open(const char* node) {
  // The node is given: libusb is not to look for devices itself.
  libusb_set_option(nullptr, LIBUSB_OPTION_NO_DEVICE_DISCOVERY);
  if (libusb_init(&context_) != 0) return "libusb_init failed";
  fd_ = open(node, O_RDWR | O_CLOEXEC);
  if (fd_ < 0) return std::string("cannot open ") + node;
  int result = libusb_wrap_sys_device(context_, intptr_t(fd_), &handle_);
  if (result != 0) return std::string("cannot wrap the node: ") + libusb_error_name(result);
  result = libusb_claim_interface(handle_, 0);
  if (result != 0) return std::string("cannot claim interface 0: ") + libusb_error_name(result);
  claimed_ = true;
  interrupt_ = libusb_alloc_transfer(0);
  return interrupt_ != nullptr ? "" : "no transfer";
}

int UsbLink::ControlIn(uint8_t request, uint16_t value, uint8_t* data, uint16_t length) {
  return libusb_control_transfer(handle_, kVendorIn, request, value, 0, data, length, kTimeoutMs);
}

int UsbLink::ControlOut(uint8_t request, uint16_t value, const std::vector<uint8_t>& data) {
  std::vector<uint8_t> copy = data;
  return libusb_control_transfer(handle_, kVendorOut, request, value, 0, copy.data(),
                                 uint16_t(copy.size()), kTimeoutMs);
}

int UsbLink::BulkIn(uint8_t* data, int length) {
  int moved = 0;
  int result = libusb_bulk_transfer(handle_, kBulkIn, data, length, &moved, kTimeoutMs);
  return result == 0 ? moved : result;
}

void LIBUSB_CALL UsbLink::Finished(libusb_transfer* transfer) {
  *static_cast<int*>(transfer->user_data) = 1;
}

bool UsbLink::SubmitInterrupt(unsigned int timeout_ms) {
  libusb_fill_interrupt_transfer(interrupt_, handle_, kInterruptIn, interrupt_buffer_,
                                 sizeof interrupt_buffer_, Finished, &interrupt_done_, timeout_ms);
  interrupt_done_ = 0;
  if (libusb_submit_transfer(interrupt_) == 0) return true;
  interrupt_done_ = 1;
  return false;
}

void UsbLink::CancelInterrupt() {
  libusb_cancel_transfer(interrupt_);
}

libusb_transfer_status UsbLink::WaitInterrupt(std::vector<uint8_t>* packet) {
  while (!interrupt_done_)
    if (libusb_handle_events_completed(context_, &interrupt_done_) != 0)
      return LIBUSB_TRANSFER_ERROR;
  packet->assign(interrupt_buffer_, interrupt_buffer_ + interrupt_->actual_length);
  return interrupt_->status;
}

}  // namespace client
