#include "tests/camera/turn_checks.h"

#include <turbojpeg.h>

#include <cstdlib>
#include <cstring>

#include "kit/JpegSegments.h"

namespace download_test {

std::optional<Decoded> DecodePlanes(const std::vector<uint8_t>& jpeg) {
  tjhandle handle = tjInitDecompress();
  if (handle == nullptr) return std::nullopt;
  Decoded decoded;
  int subsampling = 0, colourspace = 0;
  bool ok = tjDecompressHeader3(handle, jpeg.data(), jpeg.size(), &decoded.width, &decoded.height,
                                &subsampling, &colourspace) == 0;
  if (ok) {
    int components = subsampling == TJSAMP_GRAY ? 1 : 3;
    unsigned char* rows[3] = {};
    int strides[3] = {};
    decoded.planes.resize(size_t(components));
    for (int c = 0; c < components; c++) {
      Plane& plane = decoded.planes[size_t(c)];
      plane.width = tjPlaneWidth(c, decoded.width, subsampling);
      plane.height = tjPlaneHeight(c, decoded.height, subsampling);
      plane.samples.resize(size_t(plane.width) * size_t(plane.height));
      rows[c] = plane.samples.data();
      strides[c] = plane.width;
    }
    ok = tjDecompressToYUVPlanes(handle, jpeg.data(), jpeg.size(), rows, 0, strides, 0, 0) == 0;
  }
  tjDestroy(handle);
  if (!ok) return std::nullopt;
  return decoded;
}

std::optional<int> LargestDifference(const Decoded& stored, const Decoded& turned, int angle) {
  if (stored.planes.size() != turned.planes.size()) return std::nullopt;
  int largest = 0;
  for (size_t c = 0; c < stored.planes.size(); c++) {
    const Plane& from = stored.planes[c];
    const Plane& to = turned.planes[c];
    // The trim only ever drops the stored picture's right and bottom edges: what stays is
    // its top left corner, as wide and high as the turned picture shows it.
    bool quarter = angle != 180;
    int kept_width = quarter ? to.height : to.width;
    int kept_height = quarter ? to.width : to.height;
    if (kept_width > from.width || kept_height > from.height) return std::nullopt;
    for (int y = 0; y < to.height; y++) {
      for (int x = 0; x < to.width; x++) {
        int sx = kept_width - 1 - x, sy = kept_height - 1 - y;  // 180
        if (angle == 90) sx = y, sy = kept_height - 1 - x;
        if (angle == 270) sx = kept_width - 1 - y, sy = x;
        int difference = std::abs(int(from.samples[size_t(sy) * size_t(from.width) + size_t(sx)]) -
                                  int(to.samples[size_t(y) * size_t(to.width) + size_t(x)]));
        if (difference > largest) largest = difference;
      }
    }
  }
  return largest;
}

std::vector<std::vector<uint8_t>> MetadataSegments(const std::vector<uint8_t>& jpeg) {
  std::vector<std::vector<uint8_t>> segments;
  for (const kit::JpegSegment& segment : kit::HeadSegments(jpeg))
    if ((segment.marker >= 0xE0 && segment.marker <= 0xEF) || segment.marker == 0xFE)
      segments.emplace_back(jpeg.begin() + long(segment.start), jpeg.begin() + long(segment.end));
  return segments;
}

std::vector<uint8_t> ExifSegment(const std::vector<uint8_t>& jpeg) {
  static const uint8_t kIdentifier[] = {'E', 'x', 'i', 'f', 0, 0};
  for (const kit::JpegSegment& segment : kit::HeadSegments(jpeg))
    if (segment.marker == kit::kApp1Marker && segment.end - segment.body >= 6 &&
        memcmp(&jpeg[segment.body], kIdentifier, 6) == 0)
      return {jpeg.begin() + long(segment.start), jpeg.begin() + long(segment.end)};
  return {};
}

namespace {

// The TIFF block after the segment's marker, length and identifier.
class TiffReader {
 public:
  explicit TiffReader(const std::vector<uint8_t>& segment) : segment_(segment) {}

  uint32_t Get(size_t offset, size_t size) const {
    size_t at = kTiffStart + offset;
    if (at + size > segment_.size()) return 0;
    bool intel = segment_[kTiffStart] == 'I';
    uint32_t value = 0;
    for (size_t i = 0; i < size; i++)
      value |= uint32_t(segment_[at + i]) << (intel ? 8 * i : 8 * (size - 1 - i));
    return value;
  }

  // Calls `seen` with each entry of the directory at `offset`: tag, type and the offset of
  // its value field.
  template <typename Seen>
  void Walk(uint32_t offset, Seen seen) const {
    uint32_t count = Get(offset, 2);
    for (uint32_t i = 0; i < count; i++) {
      size_t entry = offset + 2 + 12 * size_t(i);
      if (kTiffStart + entry + 12 > segment_.size()) return;
      seen(uint16_t(Get(entry, 2)), uint16_t(Get(entry + 2, 2)), entry + 8);
    }
  }

  // A single SHORT or LONG value, none for any other entry.
  std::optional<ExifValue> Value(uint16_t type, size_t field) const {
    size_t size = type == 3 ? 2 : type == 4 ? 4 : 0;
    if (size == 0 || Get(field - 4, 4) != 1) return std::nullopt;
    return ExifValue{kTiffStart + field, size, Get(field, size)};
  }

 private:
  static constexpr size_t kTiffStart = 10;  // marker, length, "Exif\0\0"
  const std::vector<uint8_t>& segment_;
};

}  // namespace

TurnEntries FindTurnEntries(const std::vector<uint8_t>& segment) {
  TurnEntries entries;
  TiffReader tiff(segment);
  uint32_t exif_directory = 0;
  tiff.Walk(tiff.Get(4, 4), [&](uint16_t tag, uint16_t type, size_t field) {
    if (tag == 0x0112) entries.orientation = tiff.Value(type, field);
    if (tag == 0x8769) exif_directory = tiff.Get(field, 4);
  });
  if (exif_directory != 0) {
    tiff.Walk(exif_directory, [&](uint16_t tag, uint16_t type, size_t field) {
      if (tag == 0xA002) entries.width = tiff.Value(type, field);
      if (tag == 0xA003) entries.height = tiff.Value(type, field);
    });
  }
  return entries;
}

}  // namespace download_test
