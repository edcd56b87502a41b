#include "kit/JpegSegments.h"

#include "kit/Bytes.h"

namespace kit {

namespace {

constexpr uint8_t kStartOfImage = 0xD8;
constexpr uint8_t kEndOfImage = 0xD9;
constexpr uint8_t kStartOfScan = 0xDA;

// Markers that stand alone, without a length: TEM and the restart markers.
bool StandsAlone(uint8_t marker) {
  return marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7);
}

}  // namespace

std::vector<JpegSegment> HeadSegments(std::span<const uint8_t> file) {
  std::vector<JpegSegment> segments;
  if (file.size() < 2 || file[0] != 0xFF || file[1] != kStartOfImage) return segments;
  size_t at = 2;
  while (at + 1 < file.size() && file[at] == 0xFF) {
    size_t marker_at = at;
    while (marker_at + 1 < file.size() && file[marker_at + 1] == 0xFF) ++marker_at;  // fill
    if (marker_at + 1 >= file.size()) break;
    uint8_t marker = file[marker_at + 1];
    if (StandsAlone(marker)) {
      at = marker_at + 2;
      continue;
    }
    if (marker == 0x00 || marker == kStartOfImage || marker == kStartOfScan ||
        marker == kEndOfImage || marker_at + 4 > file.size())
      break;
    size_t length = ReadBig16(&file[marker_at + 2]);
    size_t end = marker_at + 2 + length;
    if (length < 2 || end > file.size()) break;
    segments.push_back({marker, at, marker_at + 4, end});
    at = end;
  }
  return segments;
}

size_t ThumbnailReplyLength(std::span<const uint8_t> file) {
  return ThumbnailReplyLength(file, HeadSegments(file));
}

size_t ThumbnailReplyLength(std::span<const uint8_t> file,
                            const std::vector<JpegSegment>& segments) {
  for (const JpegSegment& segment : segments)
    if (segment.marker == kApp1Marker) return segment.end;
  if (!segments.empty()) return segments.front().end;
  return file.size() >= 2 && file[0] == 0xFF && file[1] == kStartOfImage ? 2 : 0;
}

}  // namespace kit
