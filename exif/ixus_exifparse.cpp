#include "exif/ixus_exifparse.h"

#include "exif/ExifWalker.h"
#include "exif/ReplyReader.h"

bool ixus_exifparse(const USBEndpoint* endpoint, unsigned char* buffer, kit::ByteStream* thumbnail,
                    unsigned long length, pic_Item* picture) {
  if (length == 0) return true;
  if (endpoint == nullptr) return false;
  exif::ReplyReader reader(endpoint, buffer, length);
  exif::ExifWalker walker(thumbnail, picture, length);
  exif::WalkResult result = exif::WalkResult::kMore;
  while (result == exif::WalkResult::kMore && reader.Remaining() > 0) {
    const unsigned char* data = nullptr;
    ssize_t got = reader.Next(&data);
    if (got < 0) return false;
    result = walker.Feed(data, size_t(got));
  }
  // Whatever the walk made of it, the reply is read to its end: the next reply follows it
  // on the same pipe.
  return reader.Drain() && result != exif::WalkResult::kFailed;
}
