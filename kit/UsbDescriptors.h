// The USB descriptors' types and sizes (USB 2.0, chapter 9), for the host's reading of usbfs
// and the simulated devices' making of them alike.
#pragma once

#include <cstddef>
#include <cstdint>

namespace kit::usb {

constexpr uint8_t kDeviceType = 1;
constexpr uint8_t kConfigurationType = 2;
constexpr uint8_t kStringType = 3;
constexpr uint8_t kInterfaceType = 4;
constexpr uint8_t kEndpointType = 5;

constexpr size_t kDeviceLength = 18;
constexpr size_t kConfigurationLength = 9;
constexpr size_t kInterfaceLength = 9;
constexpr size_t kEndpointLength = 7;

}  // namespace kit::usb
