// The few calls an open node makes to the host's USB library, each answering with that
// library's result code (negative on failure, LIBUSB_ERROR_NO_DEVICE once the device is
// gone). Behind an interface so that the node's own rules can be exercised without a device.
#pragma once

#include <cstdint>

namespace kit {

class UsbHandle {
 public:
  virtual ~UsbHandle() = default;

  // The device's current bConfigurationValue (0 while unconfigured).
  virtual int GetConfiguration(int* value) = 0;
  virtual int SetConfiguration(int value) = 0;
  // Claiming detaches a bound kernel driver first; releasing gives it back.
  virtual int ClaimInterface(int number) = 0;
  virtual int ReleaseInterface(int number) = 0;
  // The bytes moved, or a negative result.
  virtual int ControlTransfer(uint8_t request_type, uint8_t request, uint16_t value, uint16_t index,
                              uint8_t* data, uint16_t length) = 0;
  virtual int StringDescriptor(uint8_t index, uint16_t language, uint8_t* data, int length) = 0;
  // `transferred` gets the bytes moved.
  virtual int BulkTransfer(uint8_t endpoint, uint8_t* data, int length, int* transferred) = 0;
  virtual int InterruptTransfer(uint8_t endpoint, uint8_t* data, int length, int* transferred) = 0;
  // Reading ahead on an input endpoint (an address), as kit::RawUsbNode describes it: the
  // bulk reads on it take the pieces in flight first.
  virtual void StartReadAhead(uint8_t endpoint, uint64_t total, uint32_t piece) = 0;
  virtual void EndReadAhead(uint8_t endpoint) = 0;
};

}  // namespace kit
