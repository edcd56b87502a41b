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

// Tries every attribute, remembering why the first that failed did.
class AttrWriter {
 public:
  explicit AttrWriter(int fd) : fd_(fd) {}
  void Write(const char* name, uint32_t type, const void* data, size_t length) {
    if (!kit::WriteAttr(fd_, name, type, data, length) && first_ == 0) first_ = errno;
  }
  void Size(int32_t width, int32_t height) {
    Write("GRAFX:Width", kit::kInt32Type, &width, sizeof width);
    Write("GRAFX:Height", kit::kInt32Type, &height, sizeof height);
  }
  void Date(uint32_t date) {
    int64_t local = LocalDate(date);
    Write("EXIF:Date", kit::kTimeType, &local, sizeof local);
  }
  int First() const { return first_; }

 private:
  int fd_;
  int first_ = 0;
};

}  // namespace

int SetJPEGFileAttrs(int fd, pic_Item* picture) {
  return SetJPEGFileAttrs(fd, picture, int32_t(picture->xres), int32_t(picture->yres));
}

int SetJPEGFileAttrs(int fd, pic_Item* picture, int32_t width, int32_t height) {
  uint8_t flash = picture->FlashFired() ? 1 : 0;
  AttrWriter writer(fd);
  writer.Size(width, height);
  writer.Write("EXIF:Flash", kBoolType, &flash, sizeof flash);
  writer.Date(picture->date);
  return writer.First();
}

int SetCardFileAttrs(int fd, uint32_t date, int32_t width, int32_t height) {
  AttrWriter writer(fd);
  if (width != 0 && height != 0) writer.Size(width, height);
  writer.Date(date);
  return writer.First();
}
