// What the device itself calls the configurations, interfaces and endpoints that the driver
// addresses by position: the values a request to the device has to carry.
#pragma once

#include <cstdint>
#include <optional>

#include "kit/host/UsbfsDescriptors.h"

namespace kit {

// bConfigurationValue, for SET_CONFIGURATION.
std::optional<uint8_t> ConfigurationValue(const UsbfsDescriptors& descriptors,
                                          uint32_t configuration);
// bInterfaceNumber, for claiming and releasing.
std::optional<uint8_t> InterfaceNumber(const UsbfsDescriptors& descriptors, uint32_t configuration,
                                       uint32_t interface);
// bEndpointAddress, for transfers.
std::optional<uint8_t> EndpointAddress(const UsbfsDescriptors& descriptors, uint32_t configuration,
                                       uint32_t interface, uint32_t endpoint);

}  // namespace kit
