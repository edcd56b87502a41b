#include "kit/host/UsbfsDescriptors.h"

#include <algorithm>

#include "kit/UsbDescriptors.h"

namespace kit {

namespace {

using namespace usb;

// Steps through the descriptors of one set. It stops at the first descriptor whose bLength
// cannot be right: below 2 it would never advance (or hold no type), past the end it would
// read outside the set.
class Walker {
 public:
  explicit Walker(std::span<const uint8_t> set) : rest_(set) {}

  bool Next(std::span<const uint8_t>* descriptor) {
    if (rest_.size() < 2 || rest_[0] < 2 || rest_[0] > rest_.size()) return false;
    *descriptor = rest_.first(rest_[0]);
    rest_ = rest_.subspan(rest_[0]);
    return true;
  }

 private:
  std::span<const uint8_t> rest_;
};

}  // namespace

std::span<const uint8_t> UsbfsDescriptors::Device() const {
  if (blob_.size() < kDeviceLength || blob_[0] < kDeviceLength || blob_[1] != kDeviceType)
    return {};
  return std::span<const uint8_t>(blob_).first(kDeviceLength);
}

std::span<const uint8_t> UsbfsDescriptors::Set(uint32_t configuration) const {
  std::span<const uint8_t> device = Device();
  if (device.empty() || configuration >= device[17]) return {};
  // Each set starts where the previous one's wTotalLength ends, so a set is found only when
  // every set before it is sound.
  size_t offset = kDeviceLength;
  for (uint32_t position = 0;; position++) {
    if (offset >= blob_.size()) return {};
    std::span<const uint8_t> rest = std::span<const uint8_t>(blob_).subspan(offset);
    if (rest.size() < kConfigurationLength || rest[0] < kConfigurationLength ||
        rest[1] != kConfigurationType)
      return {};
    size_t total = rest[2] | size_t(rest[3]) << 8;
    if (total < rest[0]) return {};
    if (position == configuration) return rest.first(std::min(total, rest.size()));
    offset += total;
  }
}

std::span<const uint8_t> UsbfsDescriptors::Configuration(uint32_t configuration) const {
  std::span<const uint8_t> set = Set(configuration);
  return set.empty() ? set : set.first(set[0]);
}

std::span<const uint8_t> UsbfsDescriptors::Below(uint32_t configuration, uint32_t interface,
                                                 Kind kind, uint32_t index) const {
  auto kind_of = [](std::span<const uint8_t> descriptor) {
    if (descriptor[1] == kInterfaceType && descriptor.size() >= kInterfaceLength)
      return Kind::kInterface;
    if (descriptor[1] == kEndpointType && descriptor.size() >= kEndpointLength)
      return Kind::kEndpoint;
    return Kind::kOther;
  };
  Walker walker(Set(configuration));
  std::span<const uint8_t> descriptor;
  if (!walker.Next(&descriptor)) return {};  // the configuration descriptor itself
  bool inside = false;
  uint32_t interfaces = 0;
  uint32_t found = 0;
  while (walker.Next(&descriptor)) {
    Kind seen = kind_of(descriptor);
    if (seen == Kind::kInterface) {
      // The wanted interface's own descriptors end at the next interface descriptor, an
      // alternate setting included.
      if (inside) return {};
      if (descriptor[3] != 0 || interfaces++ != interface) continue;
      if (kind == Kind::kInterface) return descriptor;
      inside = true;
    } else if (inside && seen == kind && found++ == index) {
      return descriptor;
    }
  }
  return {};
}

std::span<const uint8_t> UsbfsDescriptors::Interface(uint32_t configuration,
                                                     uint32_t interface) const {
  return Below(configuration, interface, Kind::kInterface, 0);
}

std::span<const uint8_t> UsbfsDescriptors::Endpoint(uint32_t configuration, uint32_t interface,
                                                    uint32_t endpoint) const {
  return Below(configuration, interface, Kind::kEndpoint, endpoint);
}

std::span<const uint8_t> UsbfsDescriptors::Other(uint32_t configuration, uint32_t interface,
                                                 uint32_t index) const {
  return Below(configuration, interface, Kind::kOther, index);
}

}  // namespace kit
