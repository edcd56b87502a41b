#include "camera/ixus_command.h"

#include <cstdio>
#include <cstring>

#include "camera/CameraHost.h"
#include "kit/Bytes.h"
#include "usb/PipeDrain.h"
#include "usb/USBConfiguration.h"
#include "usb/USBDevice.h"

namespace {
// A pipe that delivers no byte this many times in a row has stopped answering.
constexpr int kEmptyReadsAllowed = 8;
constexpr size_t kCodeAt = 68;

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

void ixus_fixedcmd(unsigned char* buffer, unsigned char code, unsigned char cls, size_t payload) {
  memset(buffer, 0, 96);
  fillcmdblk(buffer, 16 + payload, code, cls, kFixedReply, kCommandTag);
}

uint8_t ixus_request(uint32_t length) {
  return length <= 1 ? 0x0C : 0x04;
}

ssize_t ixus_sendcmd(USBDevice* device, unsigned char* buffer) {
  uint32_t length = 64 + ixus_le32(buffer);
  ssize_t sent =
      device->ControlTransfer(0x40, ixus_request(length), 0x10, 0, uint16_t(length), buffer);
  if (sent == ssize_t(uint16_t(length))) return sent;
  // The camera may have taken the command all the same and queued its answer.
  ixus_resync(ixus_inpipe(device), buffer, kRestUnknown);
  return -1;
}

const USBEndpoint* ixus_pipe(const USBDevice* device, uint32_t position) {
  const USBConfiguration* configuration = device->ActiveConfiguration();
  const USBInterface* interface = configuration ? configuration->InterfaceAt(0) : nullptr;
  return interface ? interface->EndpointAt(position) : nullptr;
}

const USBEndpoint* ixus_inpipe(const USBDevice* device) {
  return ixus_pipe(device, 0);
}

ssize_t ixus_readsome(const USBEndpoint* pipe, unsigned char* data, uint32_t length, int& empty) {
  ssize_t got = pipe->BulkTransfer(data, length);
  if (got < 0 || (got == 0 && ++empty >= kEmptyReadsAllowed)) return -1;
  if (got > 0) empty = 0;
  return got;
}

ssize_t ixus_readfull(const USBEndpoint* pipe, unsigned char* data, uint32_t length,
                      uint32_t* received) {
  uint32_t done = 0;
  int empty = 0;
  ssize_t result = 0;
  while (done < length) {
    ssize_t got = ixus_readsome(pipe, data + done, length - done, empty);
    if (got < 0) {
      result = -1;
      break;
    }
    done += uint32_t(got);
  }
  if (received != nullptr) *received = done;
  return result == -1 ? -1 : ssize_t(done);
}

void ixus_resync(const USBEndpoint* pipe, unsigned char* buffer, int64_t rest) {
  if (pipe == nullptr) return;
  while (rest > 0) {
    uint32_t piece = rest < kDrainPiece ? uint32_t(rest) : kDrainPiece;
    if (ixus_readfull(pipe, buffer, piece) == -1) break;
    rest -= piece;
  }
  if (rest != 0) DrainPipe(pipe, buffer);
}

int64_t ixus_dataheader(const USBEndpoint* pipe, unsigned char* buffer, uint32_t least,
                        uint32_t most) {
  if (ixus_readfull(pipe, buffer, kReplyHeaderSize) == -1) {
    ixus_resync(pipe, buffer, kRestUnknown);
    return -1;
  }
  uint32_t length = ixus_le32(buffer + 6);
  if (length < least || length > most) {
    fprintf(stderr, "Reply of %lu bytes where %lu to %lu were expected.\n",
            static_cast<unsigned long>(length), static_cast<unsigned long>(least),
            static_cast<unsigned long>(most));
    ixus_resync(pipe, buffer, kRestUnknown);
    return -1;
  }
  return length;
}

bool ixus_fixedreply(const USBEndpoint* pipe, unsigned char* buffer, uint32_t size,
                     unsigned char code) {
  if (ixus_readfull(pipe, buffer, size) == -1) {
    ixus_resync(pipe, buffer, kRestUnknown);
    return false;
  }
  if (size > kCodeAt && buffer[kCodeAt] != code) {
    fprintf(stderr, "Reply to command %d where %d was sent.\n", buffer[kCodeAt], code);
    ixus_resync(pipe, buffer, kRestUnknown);
    return false;
  }
  return true;
}

CommandOutcome ixus_command(USBDevice* device, unsigned char* buffer, uint32_t size) {
  const USBEndpoint* pipe = ixus_inpipe(device);
  unsigned char code = buffer[kCodeAt];
  if (ixus_sendcmd(device, buffer) == -1) return CommandOutcome::kNotSent;
  if (pipe == nullptr || !ixus_fixedreply(pipe, buffer, size, code))
    return CommandOutcome::kNoAnswer;
  return CommandOutcome::kAnswered;
}

bool ixus_picturecmd(unsigned char* buffer, const char* path, PictureReply reply) {
  constexpr unsigned char kPictureCode = 1;
  constexpr unsigned char kPictureClass = 0x11;
  constexpr uint32_t kPieceWord = 0x1400;
  constexpr size_t kCommandSize = 89;  // the block, two payload words and the path's terminator
  size_t path_length = strlen(path);
  if (path_length + kCommandSize > kCameraBufferSize) return false;
  memset(buffer, 0, path_length + kCommandSize);
  fillcmdblk(buffer, path_length + 25, kPictureCode, kPictureClass, kDataReply, kCommandTag);
  ixus_putle32(buffer + 80, uint32_t(reply));
  ixus_putle32(buffer + 84, kPieceWord);
  memcpy(buffer + 88, path, path_length + 1);
  return true;
}

uint32_t ixus_le32(const unsigned char* bytes) {
  return kit::ReadLittle32(bytes);
}

void ixus_putle32(unsigned char* bytes, uint32_t value) {
  kit::PutLittle32(bytes, value);
}
