// Little- and big-endian numbers in byte buffers: the one helper the protocol, the simulated
// camera and the platform layer all read and write them with.
#pragma once

#include <cstdint>
#include <vector>

namespace kit {

inline uint16_t ReadLittle16(const uint8_t* at) {
  return uint16_t(at[0] | at[1] << 8);
}

inline uint32_t ReadLittle32(const uint8_t* at) {
  return uint32_t(at[0]) | uint32_t(at[1]) << 8 | uint32_t(at[2]) << 16 | uint32_t(at[3]) << 24;
}

inline void PutLittle16(uint8_t* at, uint16_t value) {
  at[0] = uint8_t(value);
  at[1] = uint8_t(value >> 8);
}

inline void PutLittle32(uint8_t* at, uint32_t value) {
  for (int i = 0; i < 4; ++i) at[i] = uint8_t(value >> (8 * i));
}

inline void AppendLittle32(std::vector<uint8_t>& bytes, uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes.push_back(uint8_t(value >> (8 * i)));
}

inline uint16_t ReadBig16(const uint8_t* at) {
  return uint16_t(at[0] << 8 | at[1]);
}

}  // namespace kit
