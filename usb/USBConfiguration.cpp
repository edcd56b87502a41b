#include "usb/USBConfiguration.h"

#include "usb/USBDevice.h"

USBConfiguration::USBConfiguration(uint32_t index, USBDevice* device)
    : device_(device), index_(index) {}

USBConfiguration::~USBConfiguration() = default;

const USBInterface* USBConfiguration::InterfaceAt(uint32_t position) const {
  return position < interfaces_.size() ? interfaces_[position].get() : nullptr;
}

USBInterface::USBInterface(uint32_t index, USBConfiguration* configuration)
    : configuration_(configuration), index_(index) {}

USBInterface::~USBInterface() = default;

const USBEndpoint* USBInterface::EndpointAt(uint32_t position) const {
  return position < endpoints_.size() ? endpoints_[position].get() : nullptr;
}

int USBInterface::OtherDescriptorAt(uint32_t index, usb_descriptor* descriptor,
                                    uint32_t size) const {
  return Device()->GetOtherDescr(configuration_->Index(), index_, index, descriptor, size);
}

USBEndpoint::USBEndpoint(uint32_t index, USBInterface* interface)
    : interface_(interface), index_(index) {}

ssize_t USBEndpoint::BulkTransfer(void* data, uint32_t length) const {
  return Device()->BulkTransfer(this, data, length);
}

ssize_t USBEndpoint::InterruptTransfer(void* data, uint32_t length) const {
  return Device()->InterruptTransfer(this, data, length);
}
