// Descriptor blobs as a usbfs node delivers them, built piece by piece for the tests.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <vector>

namespace hosttest {

using Bytes = std::vector<uint8_t>;

inline Bytes Join(std::initializer_list<Bytes> parts) {
  Bytes joined;
  for (const Bytes& part : parts) joined.insert(joined.end(), part.begin(), part.end());
  return joined;
}

inline Bytes Device(uint8_t configurations) {
  return {18, 1, 0x10, 1, 0, 0, 0, 8, 0x34, 0x12, 0x78, 0x56, 1, 0, 1, 2, 0, configurations};
}

// A configuration descriptor followed by `body`; wTotalLength covers both.
inline Bytes Configuration(uint8_t value, uint8_t interfaces, const Bytes& body) {
  size_t total = 9 + body.size();
  return Join({{9, 2, uint8_t(total), uint8_t(total >> 8), interfaces, value, 0, 0xc0, 0}, body});
}

inline Bytes Interface(uint8_t number, uint8_t alternate, uint8_t endpoints) {
  return {9, 4, number, alternate, endpoints, 0xff, 0xff, 0xff, 0};
}

inline Bytes Endpoint(uint8_t address, uint8_t attributes, uint8_t max_packet) {
  return {7, 5, address, attributes, max_packet, 0, 0};
}

// A class-specific descriptor of `length` bytes filled with `fill`.
inline Bytes Class(uint8_t length, uint8_t fill) {
  Bytes descriptor(length, fill);
  descriptor[0] = length;
  descriptor[1] = 0x24;
  return descriptor;
}

// One configuration (value 1), one interface, endpoints 0x81 bulk in, 0x02 bulk out and
// 0x83 interrupt in.
inline Bytes CameraBlob() {
  return Join({Device(1), Configuration(1, 1,
                                        Join({Interface(0, 0, 3), Endpoint(0x81, 2, 64),
                                              Endpoint(0x02, 2, 64), Endpoint(0x83, 3, 16)}))});
}

// Configuration values 4 and 9, their interfaces numbered 1 and 3; a class descriptor after
// the first one's endpoint.
inline Bytes TwoConfigurations() {
  return Join({Device(2),
               Configuration(4, 1, Join({Interface(1, 0, 1), Endpoint(0x81, 2, 64), Class(5, 7)})),
               Configuration(9, 1, Join({Interface(3, 0, 1), Endpoint(0x82, 2, 64)}))});
}

}  // namespace hosttest
