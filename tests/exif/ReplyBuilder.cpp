#include "tests/exif/ReplyBuilder.h"

#include <algorithm>
#include <iterator>

namespace exiftest {

namespace {

void Put16(std::vector<uint8_t>* out, size_t at, uint32_t value) {
  (*out)[at] = uint8_t(value);
  (*out)[at + 1] = uint8_t(value >> 8);
}

void Put32(std::vector<uint8_t>* out, size_t at, uint32_t value) {
  Put16(out, at, value & 0xFFFF);
  Put16(out, at + 2, value >> 16);
}

}  // namespace

ReplyBuilder& ReplyBuilder::Directory(uint32_t position, const std::vector<Entry>& entries,
                                      uint32_t link) {
  size_t end = position + 2 + 12 * entries.size() + 4;
  if (tiff_.size() < end) tiff_.resize(end);
  Put16(&tiff_, position, uint32_t(entries.size()));
  size_t at = position + 2;
  for (const Entry& entry : entries) {
    Put16(&tiff_, at, entry.tag);
    Put16(&tiff_, at + 2, entry.type);
    Put32(&tiff_, at + 4, entry.count);
    Put32(&tiff_, at + 8, entry.value);
    at += 12;
  }
  Put32(&tiff_, at, link);
  return *this;
}

ReplyBuilder& ReplyBuilder::Bytes(uint32_t position, const std::vector<uint8_t>& bytes) {
  if (tiff_.size() < position + bytes.size()) tiff_.resize(position + bytes.size());
  std::copy(bytes.begin(), bytes.end(), tiff_.begin() + position);
  return *this;
}

ReplyBuilder& ReplyBuilder::Before(const std::vector<uint8_t>& segments) {
  before_ = segments;
  return *this;
}

std::vector<uint8_t> ReplyBuilder::Build() const {
  size_t segment = 2 + 6 + tiff_.size();
  const uint8_t start[] = {0xFF, 0xD8};
  const uint8_t exif[] = {0xFF, 0xE1, uint8_t(segment >> 8), uint8_t(segment), 'E', 'x', 'i', 'f',
                          0,    0};
  std::vector<uint8_t> reply(sizeof start + before_.size() + sizeof exif + tiff_.size());
  auto out = std::copy(std::begin(start), std::end(start), reply.begin());
  out = std::copy(before_.begin(), before_.end(), out);
  out = std::copy(std::begin(exif), std::end(exif), out);
  std::copy(tiff_.begin(), tiff_.end(), out);
  return reply;
}

std::vector<uint8_t> CameraReply(const std::vector<uint8_t>& thumbnail) {
  return ReplyBuilder()
      .Directory(8, {Short(kOrientation, 6), Long(kExifOffset, 40)}, 300)
      .Directory(40, {Short(kFlash, 1),
                      Short(kWidth, 800),
                      Short(kHeight, 600),
                      {kMakerNote, kUndefined, 42, 150},
                      Long(kInteroperabilityOffset, 250)})
      .Directory(150, {{0x0001, kShort, 1, 5}, {0x0002, kLong, 1, 0}})
      .Directory(250, {{0x0001, kUndefined, 4, 0x30303130}})
      .Directory(300, {Long(kThumbnailOffset, kCameraThumbnailAt),
                       Long(kThumbnailLength, uint32_t(thumbnail.size()))})
      .Bytes(kCameraThumbnailAt, thumbnail)
      .Build();
}

}  // namespace exiftest
