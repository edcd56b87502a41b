#include "sim/GeneratedPicture.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

#include "sim/Bytes.h"

namespace sim {

namespace {

// What a generated file adds to the head and filler at a range of its bytes.
using Overlay = std::function<void(uint32_t offset, uint8_t* out, size_t length)>;

// A file of `size` bytes: `head`, then filler, with the overlay written over them.
CameraFile GeneratedFile(const std::string& name, uint32_t date, uint8_t attributes,
                         std::vector<uint8_t> head, uint32_t size, Overlay overlay = nullptr) {
  auto held = std::make_shared<const std::vector<uint8_t>>(std::move(head));
  auto generated = std::make_shared<GeneratedBytes>();
  generated->size = size;
  generated->generate = [held, overlay](uint32_t offset, uint8_t* out, size_t length) {
    size_t from_head = offset < held->size() ? std::min(length, held->size() - offset) : 0;
    if (from_head != 0) std::memcpy(out, held->data() + offset, from_head);
    for (size_t i = from_head; i < length; ++i) out[i] = FillerByte(uint32_t(offset + i));
    if (overlay) overlay(offset, out, length);
  };
  CameraFile file;
  file.name = name;
  file.attributes = attributes;
  file.date = date;
  file.generated = std::move(generated);
  return file;
}

void AppendTag(std::vector<uint8_t>& bytes, const char* tag) {
  bytes.insert(bytes.end(), tag, tag + 4);
}

void AppendLittle16(std::vector<uint8_t>& bytes, uint16_t value) {
  bytes.push_back(uint8_t(value));
  bytes.push_back(uint8_t(value >> 8));
}

constexpr uint32_t kFramesPerSecond = 15;
constexpr uint32_t kFrameBytes = 12000;  // a 320x240 Motion-JPEG frame of the time
constexpr uint32_t kChunkHeader = 8;
constexpr uint32_t kChunk = kChunkHeader + kFrameBytes;

// The frame chunks that the movi list's data of `data_size` bytes holds, the last cut short;
// a tail shorter than a chunk header is filler.
uint32_t FrameChunks(uint32_t data_size) {
  return data_size / kChunk + (data_size % kChunk >= kChunkHeader ? 1 : 0);
}

std::vector<uint8_t> MovieHeaders(uint32_t size) {
  uint32_t movi_data = size > kMovieHeaderSize ? size - kMovieHeaderSize : 0;
  uint32_t frames = FrameChunks(movi_data);
  std::vector<uint8_t> bytes;
  AppendTag(bytes, "RIFF");
  AppendLittle32(bytes, size >= 8 ? size - 8 : 0);
  AppendTag(bytes, "AVI ");
  AppendTag(bytes, "LIST");
  AppendLittle32(bytes, 192);
  AppendTag(bytes, "hdrl");
  AppendTag(bytes, "avih");
  AppendLittle32(bytes, 56);
  AppendLittle32(bytes, 1000000 / kFramesPerSecond);      // microseconds a frame
  AppendLittle32(bytes, kFrameBytes * kFramesPerSecond);  // most bytes a second
  AppendLittle32(bytes, 0);                               // padding granularity
  AppendLittle32(bytes, 0);                               // flags: no index
  AppendLittle32(bytes, frames);
  AppendLittle32(bytes, 0);  // initial frames
  AppendLittle32(bytes, 1);  // streams
  AppendLittle32(bytes, kChunk);
  AppendLittle32(bytes, kMovieWidth);
  AppendLittle32(bytes, kMovieHeight);
  bytes.resize(bytes.size() + 16);  // reserved
  AppendTag(bytes, "LIST");
  AppendLittle32(bytes, 116);
  AppendTag(bytes, "strl");
  AppendTag(bytes, "strh");
  AppendLittle32(bytes, 56);
  AppendTag(bytes, "vids");
  AppendTag(bytes, "MJPG");
  AppendLittle32(bytes, 0);                 // flags
  AppendLittle32(bytes, 0);                 // priority and language
  AppendLittle32(bytes, 0);                 // initial frames
  AppendLittle32(bytes, 1);                 // scale
  AppendLittle32(bytes, kFramesPerSecond);  // rate
  AppendLittle32(bytes, 0);                 // start
  AppendLittle32(bytes, frames);            // length
  AppendLittle32(bytes, kChunk);            // suggested buffer size
  AppendLittle32(bytes, 0xFFFFFFFF);        // quality: the default
  AppendLittle32(bytes, 0);                 // sample size: varies
  for (uint16_t edge : {uint16_t(0), uint16_t(0), kMovieWidth, kMovieHeight})
    AppendLittle16(bytes, edge);
  AppendTag(bytes, "strf");
  AppendLittle32(bytes, 40);
  AppendLittle32(bytes, 40);  // the bitmap header's own size
  AppendLittle32(bytes, kMovieWidth);
  AppendLittle32(bytes, kMovieHeight);
  AppendLittle16(bytes, 1);   // planes
  AppendLittle16(bytes, 24);  // bits a pixel
  AppendTag(bytes, "MJPG");
  AppendLittle32(bytes, uint32_t(kMovieWidth) * kMovieHeight * 3);
  bytes.resize(bytes.size() + 16);  // resolution and colours: none given
  AppendTag(bytes, "LIST");
  AppendLittle32(bytes, size >= kMovieHeaderSize - 4 ? size - (kMovieHeaderSize - 4) : 0);
  AppendTag(bytes, "movi");
  bytes.resize(std::min<size_t>(bytes.size(), size));
  return bytes;
}

// Writes the frame chunk headers of a movie of `size` bytes that fall in the range.
void WriteChunkHeaders(uint32_t size, uint32_t offset, uint8_t* out, size_t length) {
  uint64_t end = uint64_t(offset) + length;
  if (size <= kMovieHeaderSize || end <= kMovieHeaderSize) return;
  uint32_t data_size = size - kMovieHeaderSize;
  uint32_t from = std::max(offset, kMovieHeaderSize) - kMovieHeaderSize;
  for (uint64_t chunk = from / kChunk * uint64_t(kChunk);
       chunk + kChunkHeader <= data_size && kMovieHeaderSize + chunk < end; chunk += kChunk) {
    uint8_t header[kChunkHeader] = {'0', '0', 'd', 'c'};
    PutLittle32(header + 4, uint32_t(std::min<uint64_t>(kFrameBytes, data_size - chunk - 8)));
    for (uint32_t i = 0; i < kChunkHeader; ++i) {
      uint64_t at = kMovieHeaderSize + chunk + i;
      if (at >= offset && at < end) out[at - offset] = header[i];
    }
  }
}

}  // namespace

uint8_t FillerByte(uint32_t offset) {
  // A multiplicative hash: no short period, so a chunk put at the wrong offset shows.
  return uint8_t((offset * 2654435761u) >> 24);
}

CameraFile MakeGeneratedPicture(const PictureSpec& spec, uint32_t size, uint8_t attributes) {
  return GeneratedFile(spec.name, spec.date, attributes, MakePicture(spec), size);
}

CameraFile MakeMovie(const std::string& name, uint32_t size, uint32_t date, uint8_t attributes) {
  return GeneratedFile(name, date, attributes, MovieHeaders(size), size,
                       [size](uint32_t offset, uint8_t* out, size_t length) {
                         WriteChunkHeaders(size, offset, out, length);
                       });
}

CameraFile MakeRawPicture(const std::string& name, uint32_t size, uint32_t date,
                          uint8_t attributes) {
  static const uint8_t kHeader[] = {'I', 'I', 0x1A, 0,   0,   0, 'H', 'E', 'A',
                                    'P', 'C', 'C',  'D', 'R', 2, 0,   1,   0};
  std::vector<uint8_t> head(kHeader, kHeader + sizeof kHeader);
  head.resize(0x1A);  // reserved to the end of the header
  head.resize(std::min<size_t>(head.size(), size));
  return GeneratedFile(name, date, attributes, std::move(head), size);
}

}  // namespace sim
