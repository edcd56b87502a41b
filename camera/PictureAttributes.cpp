#include "camera/PictureAttributes.h"

#include <cerrno>
#include <optional>

#include "camera/PictureFile.h"
#include "exif/SetJPEGFileAttrs.h"
#include "exif/UprightExif.h"
#include "kit/FileAttributes.h"

int TypePictureFile(int fd, pic_Item* picture, int32_t width, int32_t height) {
  if (!kit::SetMimeType(fd, "image/jpeg") && AttributeFailed(errno)) return errno;
  // An EXIF block without the size, or with it in a form the parser passes over, leaves the
  // record at 0 by 0: the file itself still says what it holds.
  if (width == 0 || height == 0) {
    if (std::optional<JpegSize> size = ReadJpegSize(fd)) {
      width = int32_t(size->width);
      height = int32_t(size->height);
    }
  }
  int error = SetJPEGFileAttrs(fd, picture, width, height);
  return AttributeFailed(error) ? error : 0;
}
