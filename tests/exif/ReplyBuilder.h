// Hand-made thumbnail replies: directories and bytes placed at chosen positions of the TIFF
// block, so that tests can lay out what no camera writes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace exiftest {

constexpr uint16_t kShort = 3;
constexpr uint16_t kLong = 4;
constexpr uint16_t kUndefined = 7;

constexpr uint16_t kOrientation = 0x0112;
constexpr uint16_t kFlash = 0x9209;
constexpr uint16_t kWidth = 0xA002;
constexpr uint16_t kHeight = 0xA003;
constexpr uint16_t kExifOffset = 0x8769;
constexpr uint16_t kInteroperabilityOffset = 0xA005;
constexpr uint16_t kMakerNote = 0x927C;
constexpr uint16_t kThumbnailOffset = 0x0201;
constexpr uint16_t kThumbnailLength = 0x0202;

struct Entry {
  uint16_t tag;
  uint16_t type;
  uint32_t count;
  uint32_t value;
};

inline Entry Short(uint16_t tag, uint16_t value) {
  return {tag, kShort, 1, value};
}
inline Entry Long(uint16_t tag, uint32_t value) {
  return {tag, kLong, 1, value};
}

class ReplyBuilder {
 public:
  // Positions count from the TIFF header's first byte; gaps are filled with zeros.
  ReplyBuilder& Directory(uint32_t position, const std::vector<Entry>& entries, uint32_t link = 0);
  ReplyBuilder& Bytes(uint32_t position, const std::vector<uint8_t>& bytes);
  // Segments to put between the start of image and the EXIF segment, as they stand.
  ReplyBuilder& Before(const std::vector<uint8_t>& segments);

  // Start of image, the segments before, the APP1 marker and length, "Exif" and two zero
  // bytes, the TIFF block.
  std::vector<uint8_t> Build() const;
  // Where TIFF position 0 lies in what Build() returns.
  size_t TiffStart() const { return 2 + before_.size() + 10; }

 private:
  std::vector<uint8_t> before_;
  std::vector<uint8_t> tiff_ = {'I', 'I', 0x2A, 0, 8, 0, 0, 0};
};

// A reply as a camera lays it out: main directory at 8 (orientation 6, Exif offset), Exif
// directory (flash 1, 800 x 600, maker note, interoperability offset), maker note,
// interoperability directory, thumbnail directory and the `thumbnail` bytes at 400.
std::vector<uint8_t> CameraReply(const std::vector<uint8_t>& thumbnail);
constexpr uint32_t kCameraThumbnailAt = 400;

}  // namespace exiftest
