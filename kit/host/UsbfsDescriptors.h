// The descriptor blob a usbfs node delivers when read from offset 0: the device descriptor
// (18 bytes), then each configuration's full descriptor set, wTotalLength bytes each. Every
// lookup stays inside the blob whatever the device claims about lengths and counts.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace kit {

class UsbfsDescriptors {
 public:
  explicit UsbfsDescriptors(std::vector<uint8_t> blob) : blob_(std::move(blob)) {}

  // Each lookup yields the whole descriptor (bLength bytes), or an empty span when the blob
  // has no such descriptor or it is too short for its kind.
  std::span<const uint8_t> Device() const;
  // The configuration descriptor of the configuration-th full set.
  std::span<const uint8_t> Configuration(uint32_t configuration) const;
  // The interface-th interface descriptor with bAlternateSetting 0.
  std::span<const uint8_t> Interface(uint32_t configuration, uint32_t interface) const;
  // The endpoint-th endpoint descriptor after that interface, before the next interface.
  std::span<const uint8_t> Endpoint(uint32_t configuration, uint32_t interface,
                                    uint32_t endpoint) const;
  // The index-th class or vendor descriptor after that interface, before the next interface.
  std::span<const uint8_t> Other(uint32_t configuration, uint32_t interface, uint32_t index) const;

 private:
  enum class Kind { kInterface, kEndpoint, kOther };

  std::span<const uint8_t> Set(uint32_t configuration) const;
  std::span<const uint8_t> Below(uint32_t configuration, uint32_t interface, Kind kind,
                                 uint32_t index) const;

  std::vector<uint8_t> blob_;
};

}  // namespace kit
