#include "sim/DeviceHandle.h"

namespace sim {

using kit::RawReply;

DeviceHandle::DeviceHandle(std::shared_ptr<SimDevice> device)
    : device_(std::move(device)), generation_(device_->Generation()) {}

SimDevice* DeviceHandle::Live() const {
  return device_->Generation() == generation_ ? device_.get() : nullptr;
}

RawReply DeviceHandle::DriverVersion(uint32_t* version) {
  SimDevice* device = Live();
  return device ? device->DriverVersion(version) : RawReply::Failed();
}

RawReply DeviceHandle::DeviceDescriptor(uint8_t descriptor[18]) {
  SimDevice* device = Live();
  return device ? device->DeviceDescriptor(descriptor) : RawReply::Failed();
}

RawReply DeviceHandle::ConfigurationDescriptor(uint32_t configuration, uint8_t descriptor[9]) {
  SimDevice* device = Live();
  return device ? device->ConfigurationDescriptor(configuration, descriptor) : RawReply::Failed();
}

RawReply DeviceHandle::InterfaceDescriptor(uint32_t configuration, uint32_t interface,
                                           uint8_t descriptor[9]) {
  SimDevice* device = Live();
  return device ? device->InterfaceDescriptor(configuration, interface, descriptor)
                : RawReply::Failed();
}

RawReply DeviceHandle::EndpointDescriptor(uint32_t configuration, uint32_t interface,
                                          uint32_t endpoint, uint8_t descriptor[7]) {
  SimDevice* device = Live();
  return device ? device->EndpointDescriptor(configuration, interface, endpoint, descriptor)
                : RawReply::Failed();
}

RawReply DeviceHandle::StringDescriptor(uint32_t index, uint8_t* buffer, uint32_t* length) {
  SimDevice* device = Live();
  return device ? device->StringDescriptor(index, buffer, length) : RawReply::Failed();
}

RawReply DeviceHandle::OtherDescriptor(uint32_t configuration, uint32_t interface, uint32_t index,
                                       uint8_t* buffer, uint32_t size) {
  SimDevice* device = Live();
  return device ? device->OtherDescriptor(configuration, interface, index, buffer, size)
                : RawReply::Failed();
}

RawReply DeviceHandle::Descriptor(uint8_t type, uint8_t index, uint16_t language, uint8_t* buffer,
                                  uint32_t* length) {
  SimDevice* device = Live();
  return device ? device->Descriptor(type, index, language, buffer, length) : RawReply::Failed();
}

RawReply DeviceHandle::SetConfiguration(uint32_t configuration) {
  SimDevice* device = Live();
  return device ? device->SetConfiguration(configuration) : RawReply::Failed();
}

RawReply DeviceHandle::ControlTransfer(uint8_t request_type, uint8_t request, uint16_t value,
                                       uint16_t index, uint16_t* length, void* data) {
  SimDevice* device = Live();
  return device ? device->ControlTransfer(request_type, request, value, index, length, data)
                : RawReply::Failed();
}

RawReply DeviceHandle::InterruptTransfer(uint32_t interface, uint32_t endpoint, void* data,
                                         uint32_t* length) {
  SimDevice* device = Live();
  return device ? device->InterruptTransfer(interface, endpoint, data, length) : RawReply::Failed();
}

RawReply DeviceHandle::BulkTransfer(uint32_t interface, uint32_t endpoint, void* data,
                                    uint32_t* length) {
  SimDevice* device = Live();
  return device ? device->BulkTransfer(interface, endpoint, data, length) : RawReply::Failed();
}

void DeviceHandle::StartReadAhead(uint32_t interface, uint32_t endpoint, uint64_t total,
                                  uint32_t piece) {
  if (SimDevice* device = Live()) device->StartReadAhead(interface, endpoint, total, piece);
}

void DeviceHandle::EndReadAhead(uint32_t interface, uint32_t endpoint) {
  if (SimDevice* device = Live()) device->EndReadAhead(interface, endpoint);
}

}  // namespace sim
