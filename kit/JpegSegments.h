// The marker segments at the head of a JPEG file, walked by their lengths up to the image
// data.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace kit {

constexpr uint8_t kApp1Marker = 0xE1;

struct JpegSegment {
  uint8_t marker = 0;
  size_t start = 0;  // offset of the segment's 0xFF
  size_t body = 0;   // offset of the bytes after the length field
  size_t end = 0;    // offset just past the segment
};

// The segments after the start-of-image marker that carry a length, in file order, up to
// the start of scan or the first thing that is not a whole segment. Empty without SOI.
std::vector<JpegSegment> HeadSegments(std::span<const uint8_t> file);

// How many bytes of the file a camera sends as the thumbnail reply: up to the end of the
// APP1 segment; without one, SOI and the first segment after it (a reply without EXIF);
// 0 for a file that is not a JPEG.
size_t ThumbnailReplyLength(std::span<const uint8_t> file);
// The same from the file's head segments, already walked.
size_t ThumbnailReplyLength(std::span<const uint8_t> file,
                            const std::vector<JpegSegment>& segments);

}  // namespace kit
