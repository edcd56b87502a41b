// What a turned picture is checked against: the camera's picture decoded and turned in
// memory, its marker segments, and the places of the EXIF entries a turn changes. Read
// here without the program's own JPEG and EXIF code, so that they can catch its mistakes.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace download_test {

// One decoded component: its samples row after row, as the JPEG's blocks give them (no
// colour conversion, no upsampling of the chroma).
struct Plane {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> samples;
};

struct Decoded {
  int width = 0;
  int height = 0;
  std::vector<Plane> planes;
};

// None when libturbojpeg cannot decode it.
std::optional<Decoded> DecodePlanes(const std::vector<uint8_t>& jpeg);

// How far `turned` is, at most, from the picture `stored` turned clockwise by `angle`
// degrees (90, 180 or 270) after the edge that the trim drops has been cut off; none when
// their components do not even match in number or size.
std::optional<int> LargestDifference(const Decoded& stored, const Decoded& turned, int angle);

// The APPn and COM segments of a JPEG file, whole, in file order.
std::vector<std::vector<uint8_t>> MetadataSegments(const std::vector<uint8_t>& jpeg);

// The first APP1 segment holding an EXIF block, whole; empty when there is none.
std::vector<uint8_t> ExifSegment(const std::vector<uint8_t>& jpeg);

// An entry of an EXIF segment that a turn changes: where its value lies in the segment,
// and that value.
struct ExifValue {
  size_t offset = 0;
  size_t size = 0;  // 2 for a SHORT, 4 for a LONG
  uint32_t value = 0;
};

struct TurnEntries {
  std::optional<ExifValue> orientation, width, height;
};

// Orientation (main directory), ExifImageWidth and ExifImageLength (Exif directory) of a
// whole EXIF segment, in either byte order.
TurnEntries FindTurnEntries(const std::vector<uint8_t>& segment);

}  // namespace download_test
