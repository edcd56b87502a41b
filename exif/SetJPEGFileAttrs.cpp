#include "exif/SetJPEGFileAttrs.h"

#include <cerrno>
#include <cstdint>
#include <ctime>
#include <mutex>

#include "app/pic_Item.h"
#include "kit/FileAttributes.h"

namespace {

constexpr uint32_t kBoolType = 0x424f4f4c;  // 'BOOL'

// The date as the camera's clock shows it, read as local time: the camera keeps no zone.
int64_t LocalDate(uint32_t date) {
  time_t camera = time_t(date);
  struct tm fields {};
  if (gmtime_r(&camera, &fields) == nullptr) return -1;
  // Pictures are described on the download thread and on the thread that turns them. mktime
  // reloads the time zone on every call, under a lock of the C library's that the thread
  // checker cannot see: the calls take turns here too.
  static std::mutex zone;
  std::lock_guard<std::mutex> guard(zone);
  // Kept 64 bits wide: dates past 2038 must not wrap to 1901.
  return int64_t(mktime(&fields));
}

}  // namespace

int SetJPEGFileAttrs(int fd, pic_Item* picture) {
  return SetJPEGFileAttrs(fd, picture, int32_t(picture->xres), int32_t(picture->yres));
}

int SetJPEGFileAttrs(int fd, pic_Item* picture, int32_t width, int32_t height) {
  uint8_t flash = picture->FlashFired() ? 1 : 0;
  int64_t date = LocalDate(picture->date);

  int first = 0;
  auto write = [&](const char* name, uint32_t type, const void* data, size_t length) {
    if (!kit::WriteAttr(fd, name, type, data, length) && first == 0) first = errno;
  };
  write("GRAFX:Width", kit::kInt32Type, &width, sizeof width);
  write("GRAFX:Height", kit::kInt32Type, &height, sizeof height);
  write("EXIF:Flash", kBoolType, &flash, sizeof flash);
  write("EXIF:Date", kit::kTimeType, &date, sizeof date);
  return first;
}
