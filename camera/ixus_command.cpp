#include "camera/ixus_command.h"

#include <cstring>

#include "camera/CameraHost.h"
#include "usb/USBConfiguration.h"
#include "usb/USBDevice.h"

namespace {
// A pipe that delivers no byte this many times in a row has stopped answering.
constexpr int kEmptyReadsAllowed = 8;
}  // namespace

void fillcmdblk(unsigned char* buffer, unsigned long length, unsigned char code, unsigned char cls,
                unsigned long request, unsigned long tag) {
  memset(buffer, 0, kCommandBlockSize);
  ixus_putle32(buffer, uint32_t(length));
  ixus_putle32(buffer + 4, uint32_t(request));
  buffer[64] = 0x02;
  buffer[68] = code;
  buffer[71] = cls;
  ixus_putle32(buffer + 72, uint32_t(length));
  ixus_putle32(buffer + 76, uint32_t(tag));
}

uint8_t ixus_request(uint32_t length) {
  return length <= 1 ? 0x0C : 0x04;
}

ssize_t ixus_sendcmd(USBDevice* device, unsigned char* buffer) {
  uint32_t length = 64 + ixus_le32(buffer);
  return device->ControlTransfer(0x40, ixus_request(length), 0x10, 0, uint16_t(length), buffer);
}

const USBEndpoint* ixus_pipe(const USBDevice* device, uint32_t position) {
  const USBConfiguration* configuration = device->ActiveConfiguration();
  const USBInterface* interface = configuration ? configuration->InterfaceAt(0) : nullptr;
  return interface ? interface->EndpointAt(position) : nullptr;
}

const USBEndpoint* ixus_inpipe(const USBDevice* device) {
  return ixus_pipe(device, 0);
}

ssize_t ixus_readfull(const USBEndpoint* pipe, unsigned char* data, uint32_t length,
                      uint32_t* received) {
  uint32_t done = 0;
  int empty = 0;
  ssize_t result = 0;
  while (done < length) {
    ssize_t got = pipe->BulkTransfer(data + done, length - done);
    if (got < 0 || (got == 0 && ++empty >= kEmptyReadsAllowed)) {
      result = -1;
      break;
    }
    if (got > 0) empty = 0;
    done += uint32_t(got);
  }
  if (received != nullptr) *received = done;
  return result == -1 ? -1 : ssize_t(done);
}

ssize_t ixus_drain(const USBEndpoint* pipe, unsigned char* buffer, uint32_t length) {
  while (length > 0) {
    uint32_t piece = length < kCameraBufferSize ? length : uint32_t(kCameraBufferSize);
    if (ixus_readfull(pipe, buffer, piece) == -1) return -1;
    length -= piece;
  }
  return 0;
}

uint32_t ixus_le32(const unsigned char* bytes) {
  return uint32_t(bytes[0]) | uint32_t(bytes[1]) << 8 | uint32_t(bytes[2]) << 16 |
         uint32_t(bytes[3]) << 24;
}

void ixus_putle32(unsigned char* bytes, uint32_t value) {
  for (int i = 0; i < 4; i++) bytes[i] = uint8_t(value >> (8 * i));
}
