#include "kit/host/LibusbHandle.h"

#include <unistd.h>

namespace kit {

namespace {

// Every transfer gives up after this long, so that a silent device cannot hang its caller.
constexpr unsigned kTimeoutMs = 5000;

// One context for the process. Nodes are opened by path, so libusb must not scan the buses
// itself (that needs rights the user may not have, and finds devices we do not want).
libusb_context* SharedContext() {
  static libusb_context* const context = [] {
    libusb_context* made = nullptr;
    libusb_set_option(nullptr, LIBUSB_OPTION_NO_DEVICE_DISCOVERY);
    return libusb_init(&made) == LIBUSB_SUCCESS ? made : nullptr;
  }();
  return context;
}

}  // namespace

std::unique_ptr<LibusbHandle> LibusbHandle::Wrap(int fd) {
  libusb_context* context = SharedContext();
  libusb_device_handle* handle = nullptr;
  if (context == nullptr || libusb_wrap_sys_device(context, fd, &handle) != LIBUSB_SUCCESS) {
    close(fd);
    return nullptr;
  }
  libusb_set_auto_detach_kernel_driver(handle, 1);
  return std::unique_ptr<LibusbHandle>(new LibusbHandle(context, handle, fd));
}

LibusbHandle::LibusbHandle(libusb_context* context, libusb_device_handle* handle, int fd)
    : handle_(handle), fd_(fd), ahead_(context, handle, kTimeoutMs) {}

LibusbHandle::~LibusbHandle() {
  ahead_.End();           // no transfer may outlive its handle
  libusb_close(handle_);  // a wrapped node stays open: it is ours to close
  close(fd_);
}

int LibusbHandle::GetConfiguration(int* value) {
  return libusb_get_configuration(handle_, value);
}

int LibusbHandle::SetConfiguration(int value) {
  return libusb_set_configuration(handle_, value);
}

int LibusbHandle::ClaimInterface(int number) {
  return libusb_claim_interface(handle_, number);
}

int LibusbHandle::ReleaseInterface(int number) {
  return libusb_release_interface(handle_, number);
}

int LibusbHandle::ControlTransfer(uint8_t request_type, uint8_t request, uint16_t value,
                                  uint16_t index, uint8_t* data, uint16_t length) {
  return libusb_control_transfer(handle_, request_type, request, value, index, data, length,
                                 kTimeoutMs);
}

int LibusbHandle::StringDescriptor(uint8_t index, uint16_t language, uint8_t* data, int length) {
  return libusb_get_string_descriptor(handle_, index, language, data, length);
}

int LibusbHandle::BulkTransfer(uint8_t endpoint, uint8_t* data, int length, int* transferred) {
  if (ahead_.Serves(endpoint)) return ahead_.Read(data, length, transferred);
  return libusb_bulk_transfer(handle_, endpoint, data, length, transferred, kTimeoutMs);
}

int LibusbHandle::InterruptTransfer(uint8_t endpoint, uint8_t* data, int length, int* transferred) {
  return libusb_interrupt_transfer(handle_, endpoint, data, length, transferred, kTimeoutMs);
}

void LibusbHandle::StartReadAhead(uint8_t endpoint, uint64_t total, uint32_t piece) {
  ahead_.Start(endpoint, total, piece);
}

void LibusbHandle::EndReadAhead(uint8_t endpoint) {
  if (ahead_.Serves(endpoint)) ahead_.End();
}

}  // namespace kit
