#include "sim/Descriptors.h"

#include <algorithm>

#include "kit/Bytes.h"
#include "kit/UsbDescriptors.h"

namespace sim {

namespace {

using namespace kit::usb;

uint8_t Count(size_t size) {
  return uint8_t(std::min<size_t>(size, 255));
}

}  // namespace

DeviceDescriptorBytes MakeDeviceDescriptor(uint16_t vendor, uint16_t product,
                                           uint8_t configurations, uint8_t manufacturer,
                                           uint8_t product_string, uint8_t serial,
                                           uint8_t device_class) {
  DeviceDescriptorBytes d{};
  d[0] = 18;
  d[1] = kDeviceType;
  kit::PutLittle16(&d[2], 0x0110);
  d[4] = device_class;
  d[7] = 8;  // bMaxPacketSize0 of a full-speed device
  kit::PutLittle16(&d[8], vendor);
  kit::PutLittle16(&d[10], product);
  kit::PutLittle16(&d[12], 0x0001);
  d[14] = manufacturer;
  d[15] = product_string;
  d[16] = serial;
  d[17] = configurations;
  return d;
}

ConfigurationDescriptorBytes MakeConfigurationDescriptor(uint8_t interfaces, uint8_t value) {
  ConfigurationDescriptorBytes d{};
  d[0] = 9;
  d[1] = kConfigurationType;
  kit::PutLittle16(&d[2], 9);
  d[4] = interfaces;
  d[5] = value;
  d[7] = 0x80;  // bus powered
  d[8] = 50;    // 100 mA
  return d;
}

InterfaceDescriptorBytes MakeInterfaceDescriptor(uint8_t number, uint8_t endpoints,
                                                 uint8_t interface_class) {
  InterfaceDescriptorBytes d{};
  d[0] = 9;
  d[1] = kInterfaceType;
  d[2] = number;
  d[4] = endpoints;
  d[5] = interface_class;
  return d;
}

EndpointDescriptorBytes MakeEndpointDescriptor(uint8_t address, uint8_t attributes,
                                               uint16_t max_packet, uint8_t interval) {
  EndpointDescriptorBytes d{};
  d[0] = 7;
  d[1] = kEndpointType;
  d[2] = address;
  d[3] = attributes;
  kit::PutLittle16(&d[4], max_packet);
  d[6] = interval;
  return d;
}

std::vector<uint8_t> MakeStringDescriptor(std::u16string_view text) {
  size_t units = std::min<size_t>(text.size(), (255 - 2) / 2);
  std::vector<uint8_t> bytes(2 + 2 * units);
  bytes[0] = uint8_t(bytes.size());
  bytes[1] = kStringType;
  for (size_t i = 0; i < units; ++i) kit::PutLittle16(&bytes[2 + 2 * i], uint16_t(text[i]));
  return bytes;
}

std::vector<uint8_t> ConfigurationBundle(const ConfigurationSpec& configuration) {
  std::vector<uint8_t> bytes(configuration.descriptor.begin(), configuration.descriptor.end());
  for (const InterfaceSpec& interface : configuration.interfaces) {
    bytes.insert(bytes.end(), interface.descriptor.begin(), interface.descriptor.end());
    for (const auto& endpoint : interface.endpoints)
      bytes.insert(bytes.end(), endpoint.begin(), endpoint.end());
  }
  return bytes;
}

void FitCounts(DescriptorSet& set) {
  set.device[17] = Count(set.configurations.size());
  for (ConfigurationSpec& configuration : set.configurations) {
    configuration.descriptor[4] = Count(configuration.interfaces.size());
    for (InterfaceSpec& interface : configuration.interfaces)
      interface.descriptor[4] = Count(interface.endpoints.size());
    kit::PutLittle16(&configuration.descriptor[2],
            uint16_t(std::min<size_t>(ConfigurationBundle(configuration).size(), 0xFFFF)));
  }
}

DescriptorSet MakeDeviceSet(uint16_t vendor, uint16_t product,
                            std::vector<EndpointDescriptorBytes> endpoints,
                            std::u16string_view manufacturer, std::u16string_view product_name) {
  DescriptorSet set;
  set.device = MakeDeviceDescriptor(vendor, product, 1, 1, 2);
  ConfigurationSpec configuration;
  configuration.descriptor = MakeConfigurationDescriptor(1, 1);
  InterfaceSpec interface;
  interface.descriptor = MakeInterfaceDescriptor(0, 0);
  interface.endpoints = std::move(endpoints);
  configuration.interfaces.push_back(std::move(interface));
  set.configurations.push_back(std::move(configuration));
  set.strings[0] = {4, kStringType, 0x09, 0x04};  // US English only
  set.strings[1] = MakeStringDescriptor(manufacturer);
  set.strings[2] = MakeStringDescriptor(product_name);
  FitCounts(set);
  return set;
}

DescriptorSet MakeHubSet() {
  DescriptorSet set = MakeDeviceSet(
      0x1D6B, 0x0001, {MakeEndpointDescriptor(0x81, kInterrupt, 2, 12)}, u"Simulated", u"Root hub");
  set.device[4] = 9;
  set.configurations[0].interfaces[0].descriptor[5] = 9;
  return set;
}

DescriptorSet ClaimingConfigurations(DescriptorSet set, uint8_t claimed) {
  set.device[17] = claimed;
  return set;
}

DescriptorSet MakeEndpointlessSet(uint16_t vendor, uint16_t product) {
  return MakeDeviceSet(vendor, product, {}, u"Simulated", u"No endpoints");
}

std::vector<uint8_t> MakeOverlongString(std::u16string_view text, uint8_t claimed) {
  std::vector<uint8_t> bytes = MakeStringDescriptor(text);
  bytes[0] = claimed;
  return bytes;
}

}  // namespace sim
