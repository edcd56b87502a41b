#include "camera/PictureAttributes.h"

#include <cerrno>
#include <optional>

#include "camera/PictureFile.h"
#include "exif/SetJPEGFileAttrs.h"
#include "exif/UprightExif.h"
#include "kit/FileAttributes.h"

const char* MimeTypeOf(FileKind kind) {
  switch (kind) {
    case FileKind::kPicture:
    case FileKind::kThumbnail:
      return "image/jpeg";
    case FileKind::kRaw:
      return "image/x-canon-crw";
    case FileKind::kMovie:
      return "video/x-msvideo";
    case FileKind::kSound:
      return "audio/x-wav";
    case FileKind::kOther:
      break;
  }
  return "application/octet-stream";
}

int TypePictureFile(int fd, pic_Item* picture, int32_t width, int32_t height) {
  if (!kit::SetMimeType(fd, MimeTypeOf(FileKind::kPicture)) && AttributeFailed(errno)) return errno;
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

int TypeCardFile(int fd, FileKind kind, uint32_t date, int32_t width, int32_t height) {
  if (!kit::SetMimeType(fd, MimeTypeOf(kind)) && AttributeFailed(errno)) return errno;
  if (kind == FileKind::kThumbnail) {
    std::optional<JpegSize> size = ReadJpegSize(fd);
    width = size ? int32_t(size->width) : 0;
    height = size ? int32_t(size->height) : 0;
  }
  int error = SetCardFileAttrs(fd, date, width, height);
  return AttributeFailed(error) ? error : 0;
}
