#include "tests/camera/thumbs_pictures.h"

#include "camera/ThumbnailDecoder.h"
#include "kit/JpegSegments.h"

namespace listing_test {

namespace {

// The second start-of-image marker: the thumbnail inside the EXIF segment.
size_t ThumbnailStart(const std::vector<uint8_t>& file) {
  for (size_t i = 2; i + 2 < file.size(); i++)
    if (file[i] == 0xFF && file[i + 1] == 0xD8 && file[i + 2] == 0xFF) return i;
  return 0;
}

}  // namespace

sim::CameraFile Picture(const std::string& name, uint16_t orientation, uint32_t date,
                        uint8_t attributes, uint16_t flash) {
  sim::PictureSpec spec;
  spec.name = name;
  spec.orientation = orientation;
  spec.flash = flash;
  spec.date = date;
  return {name, attributes, date, sim::MakePicture(spec)};
}

std::unique_ptr<kit::Bitmap> EmbeddedThumbnail(const std::vector<uint8_t>& file) {
  size_t start = ThumbnailStart(file);
  if (start == 0) return nullptr;
  return std::unique_ptr<kit::Bitmap>(DecodeThumbnail(file.data() + start, file.size() - start));
}

std::vector<uint8_t> WithBrokenThumbnail(std::vector<uint8_t> file) {
  size_t start = ThumbnailStart(file);
  // The thumbnail runs to the end of the EXIF segment.
  for (const kit::JpegSegment& segment : kit::HeadSegments(file))
    if (segment.marker == kit::kApp1Marker)
      for (size_t i = start; start != 0 && i < segment.end; i++) file[i] = uint8_t(i * 37);
  return file;
}

}  // namespace listing_test
