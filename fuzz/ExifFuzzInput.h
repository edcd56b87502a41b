// The layout of an exif_fuzz input, shared by the target and the seed maker:
//   byte 0       how many read sizes follow (its low five bits)
//   byte 1       how many bytes the camera promises beyond those it sends
//   read sizes   one byte each: 0 an empty read, 1 to 128 that many bytes, above 128
//                (code - 128) * 32 bytes; once they are used up, reads deliver all asked for
//   the rest     the reply's bytes
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace fuzzinput {

struct ExifInput {
  std::vector<uint32_t> pieces;
  uint32_t promised_extra = 0;
  std::vector<uint8_t> reply;
};

inline uint32_t PieceSize(uint8_t code) {
  return code <= 128 ? code : (code - 128u) * 32;
}

inline ExifInput Decode(const uint8_t* data, size_t size) {
  ExifInput input;
  if (size < 2) return input;
  size_t count = data[0] & 0x1F;
  input.promised_extra = data[1];
  size_t at = 2;
  for (; at < size && input.pieces.size() < count; ++at)
    input.pieces.push_back(PieceSize(data[at]));
  input.reply.assign(data + at, data + size);
  return input;
}

inline std::vector<uint8_t> Encode(const std::vector<uint8_t>& piece_codes,
                                   const std::vector<uint8_t>& reply) {
  std::vector<uint8_t> data = {uint8_t(piece_codes.size()), 0};
  data.insert(data.end(), piece_codes.begin(), piece_codes.end());
  data.insert(data.end(), reply.begin(), reply.end());
  return data;
}

}  // namespace fuzzinput
