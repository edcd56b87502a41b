// Files whose bytes are made as they are read: a synthetic JPEG (with its EXIF data and
// embedded thumbnail), a movie or a raw picture, each a real head and then filler up to any
// size, so that a camera can serve a download far larger than what it holds. A picture's
// filler hangs after the end-of-image marker, where a decoder no longer looks.
#pragma once

#include <cstdint>
#include <string>

#include "sim/CameraContent.h"
#include "sim/PictureMaker.h"

namespace sim {

// A file of exactly `size` bytes: the picture `spec` describes (cut short when `size` is
// smaller), then filler bytes, under the name and date the description gives.
CameraFile MakeGeneratedPicture(const PictureSpec& spec, uint32_t size,
                                uint8_t attributes = kAttributeNew);

// A movie as the cameras of that time write it: a RIFF "AVI " file of exactly `size` bytes
// (RIFF size `size` - 8), a "hdrl" list with its main header (avih: 320x240, 15 frames a
// second, one stream, the frames that fit) and a Motion-JPEG video stream's header and
// format (strl with strh and strf), then a "movi" list up to the end of the file holding
// frame chunks ("00dc", a length, filler bytes), the last one cut to fit. Cut short when
// `size` is smaller than the headers.
CameraFile MakeMovie(const std::string& name, uint32_t size, uint32_t date,
                     uint8_t attributes = kAttributeNew);
// The AVI headers' size: the "movi" list's data starts here.
constexpr uint32_t kMovieHeaderSize = 224;
constexpr uint16_t kMovieWidth = 320;
constexpr uint16_t kMovieHeight = 240;

// A raw picture (.CRW) of exactly `size` bytes: the CIFF header ("II", header length 26,
// "HEAPCCDR", version 1.2, reserved zeros), then filler bytes.
CameraFile MakeRawPicture(const std::string& name, uint32_t size, uint32_t date,
                          uint8_t attributes = kAttributeNew);

// The filler byte at an offset of the file; it depends on the offset only.
uint8_t FillerByte(uint32_t offset);

}  // namespace sim
