#include "ui/AboutPicture.h"

namespace {

// R, G, B bytes, rows from the top without padding; tools/about_picture.cpp writes them.
constexpr unsigned char kPixels[] = {
#include "ui/about_picture.inc"
};
static_assert(sizeof kPixels == kAboutPictureSize * kAboutPictureSize * 3);

}  // namespace

QImage AboutPicture() {
  const QImage wrapped(kPixels, kAboutPictureSize, kAboutPictureSize, kAboutPictureSize * 3,
                       QImage::Format_RGB888);
  // The conversion copies, so the image owns its pixels.
  return wrapped.convertToFormat(QImage::Format_RGB32);
}
