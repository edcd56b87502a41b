#include "kit/host/UsbAddresses.h"

namespace kit {

namespace {

std::optional<uint8_t> Field(std::span<const uint8_t> descriptor, size_t offset) {
  if (descriptor.size() <= offset) return std::nullopt;
  return descriptor[offset];
}

}  // namespace

std::optional<uint8_t> ConfigurationValue(const UsbfsDescriptors& descriptors,
                                          uint32_t configuration) {
  return Field(descriptors.Configuration(configuration), 5);
}

std::optional<uint8_t> InterfaceNumber(const UsbfsDescriptors& descriptors, uint32_t configuration,
                                       uint32_t interface) {
  return Field(descriptors.Interface(configuration, interface), 2);
}

std::optional<uint8_t> EndpointAddress(const UsbfsDescriptors& descriptors, uint32_t configuration,
                                       uint32_t interface, uint32_t endpoint) {
  return Field(descriptors.Endpoint(configuration, interface, endpoint), 2);
}

}  // namespace kit
