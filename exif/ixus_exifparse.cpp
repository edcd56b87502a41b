#include "exif/ixus_exifparse.h"

#include "exif/ExifWalker.h"
#include "exif/ReplyReader.h"
#include "usb/PipeDrain.h"

bool ixus_exifparse(const USBEndpoint* endpoint, unsigned char* buffer, kit::ByteStream* thumbnail,
                    unsigned long length, pic_Item* picture) {
  return ixus_exifparse(endpoint, buffer, thumbnail, length, picture, nullptr);
}

bool ixus_exifparse(const USBEndpoint* endpoint, unsigned char* buffer, kit::ByteStream* thumbnail,
                    unsigned long length, pic_Item* picture, kit::ByteStream* file) {
  if (length == 0) return true;
  if (endpoint == nullptr) return false;
  exif::ReplyReader reader(endpoint, buffer, length);
  exif::ExifWalker walker(thumbnail, picture);
  exif::WalkResult result = exif::WalkResult::kMore;
  bool read = true;
  while (read && (result == exif::WalkResult::kMore || file != nullptr) && reader.Remaining() > 0) {
    const unsigned char* data = nullptr;
    ssize_t got = reader.Next(&data);
    read = got >= 0;
    if (!read) break;
    if (file != nullptr) file->Write(data, size_t(got));
    if (result == exif::WalkResult::kMore) result = walker.Feed(data, size_t(got));
  }
  if (file != nullptr && result == exif::WalkResult::kFailed && walker.Walked())
    result = exif::WalkResult::kDone;
  // Whatever the walk made of it, the reply is read to its end: the next reply follows it
  // on the same pipe. A failed transfer may have taken any part of it: then everything the
  // camera still has is read.
  if (!read || !reader.Drain()) {
    DrainPipe(endpoint, buffer);
    return false;
  }
  return result != exif::WalkResult::kFailed;
}
