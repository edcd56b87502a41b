#include "camera/UploadBlocks.h"

#include <cstring>

#include "camera/ixus_command.h"
#include "kit/Bytes.h"

namespace {

constexpr size_t kPathLength = sizeof kUploadPath - 1;
constexpr size_t kPathAt = 92;
constexpr size_t kClearedSize = 128;
constexpr unsigned char kUploadClass = 0x11;

using kit::PutLittle16;

}  // namespace

uint16_t UploadBlockLength(size_t n) {
  return uint16_t(kPathLength + n + 29);
}

void BuildAnnouncement(unsigned char* buffer, uint16_t length) {
  memset(buffer, 0, kAnnouncementSize);
  buffer[4] = 0x03;
  buffer[5] = 0x02;
  PutLittle16(buffer + 6, uint16_t(length + 64));
}

uint32_t BuildDataBlock(unsigned char* buffer, uint32_t offset, const unsigned char* chunk,
                        size_t n) {
  uint16_t length = UploadBlockLength(n);
  memset(buffer, 0, kClearedSize);
  PutLittle16(buffer, length);
  buffer[4] = 0x03;
  buffer[5] = 0x04;
  buffer[64] = 0x02;
  buffer[68] = kUploadCode;
  buffer[71] = kUploadClass;
  PutLittle16(buffer + 72, length);
  ixus_putle32(buffer + 76, uint32_t(kCommandTag));
  buffer[80] = 0x02;
  ixus_putle32(buffer + 84, offset);
  PutLittle16(buffer + 88, uint16_t(n));
  memcpy(buffer + kPathAt, kUploadPath, kPathLength + 1);
  memcpy(buffer + kPathAt + kPathLength + 1, chunk, n);
  return uint32_t(length) + 64;
}
