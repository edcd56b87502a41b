// The descriptor set a simulated device answers from, and builders for sound and for
// deliberately broken sets (counts that lie, missing endpoints, overlong lengths).
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <string_view>
#include <vector>

namespace sim {

using DeviceDescriptorBytes = std::array<uint8_t, 18>;
using ConfigurationDescriptorBytes = std::array<uint8_t, 9>;
using InterfaceDescriptorBytes = std::array<uint8_t, 9>;
using EndpointDescriptorBytes = std::array<uint8_t, 7>;

struct InterfaceSpec {
  InterfaceDescriptorBytes descriptor{};
  std::vector<EndpointDescriptorBytes> endpoints;
  // Class- and vendor-specific descriptors, by their index.
  std::vector<std::vector<uint8_t>> others;
};

struct ConfigurationSpec {
  ConfigurationDescriptorBytes descriptor{};
  std::vector<InterfaceSpec> interfaces;
};

// Positions in the vectors are the driver's enumeration order. The count fields inside the
// descriptor bytes are whatever the set says; they need not match the vectors.
struct DescriptorSet {
  DeviceDescriptorBytes device{};
  std::vector<ConfigurationSpec> configurations;
  // String descriptors by index, as raw bytes (bLength included).
  std::map<uint32_t, std::vector<uint8_t>> strings;
};

constexpr uint8_t kBulk = 2;
constexpr uint8_t kInterrupt = 3;

DeviceDescriptorBytes MakeDeviceDescriptor(uint16_t vendor, uint16_t product,
                                           uint8_t configurations, uint8_t manufacturer = 0,
                                           uint8_t product_string = 0, uint8_t serial = 0,
                                           uint8_t device_class = 0);
ConfigurationDescriptorBytes MakeConfigurationDescriptor(uint8_t interfaces, uint8_t value);
InterfaceDescriptorBytes MakeInterfaceDescriptor(uint8_t number, uint8_t endpoints,
                                                 uint8_t interface_class = 0xFF);
EndpointDescriptorBytes MakeEndpointDescriptor(uint8_t address, uint8_t attributes,
                                               uint16_t max_packet = 64, uint8_t interval = 0);
// bLength, type 3, then the text as UTF-16LE code units (cut to fit 255 bytes).
std::vector<uint8_t> MakeStringDescriptor(std::u16string_view text);

// Sets every count field (bNumConfigurations, bNumInterfaces, bNumEndpoints, wTotalLength)
// from what the set really holds.
void FitCounts(DescriptorSet& set);

// One configuration with one interface holding `endpoints`; manufacturer and product
// strings at indices 1 and 2 and the language table at 0.
DescriptorSet MakeDeviceSet(uint16_t vendor, uint16_t product,
                            std::vector<EndpointDescriptorBytes> endpoints,
                            std::u16string_view manufacturer, std::u16string_view product_name);

// A hub: device class 9, one interrupt IN endpoint.
DescriptorSet MakeHubSet();

// The configuration descriptor followed by its interfaces, each followed by its endpoints:
// what a device sends for a configuration-type descriptor request.
std::vector<uint8_t> ConfigurationBundle(const ConfigurationSpec& configuration);

// Broken sets for the device model's defences.
// bNumConfigurations claims `claimed` while the set keeps the configurations it has.
DescriptorSet ClaimingConfigurations(DescriptorSet set, uint8_t claimed);
// A device whose only interface has no endpoint at all.
DescriptorSet MakeEndpointlessSet(uint16_t vendor, uint16_t product);
// A string descriptor whose bLength says `claimed` whatever its real size.
std::vector<uint8_t> MakeOverlongString(std::u16string_view text, uint8_t claimed);

}  // namespace sim
