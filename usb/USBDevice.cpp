#include "usb/USBDevice.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "kit/Platform.h"
#include "usb/USBConfiguration.h"

namespace {

const char kRawRoot[] = "/dev/bus/usb";
constexpr size_t kRawRootCompared = 12;  // the slash after "usb" is not compared
constexpr uint32_t kStringBufferSize = 255;

char* CopyText(const char* text, size_t length) {
  char* copy = new char[length + 1];
  memcpy(copy, text, length);
  copy[length] = '\0';
  return copy;
}

bool ReadsAhead() {
  static const bool reads_ahead = [] {
    const char* synchronous = getenv("PICTROVE_SYNCHRONOUS_READS");
    return synchronous == nullptr || strcmp(synchronous, "1") != 0;
  }();
  return reads_ahead;
}

}  // namespace

USBDevice::USBDevice(const char* path) {
  SetTo(path);
}

USBDevice::~USBDevice() {
  Release();
}

int USBDevice::SetTo(const char* path) {
  Release();
  if (path == nullptr || strncmp(path, kRawRoot, kRawRootCompared) != 0) {
    fprintf(stderr, "USBKit: Not a usb raw device '%s'\n", path ? path : "");
    return -1;
  }
  node_ = kit::CurrentPlatform().Usb().Open(path);
  if (!node_) {
    fprintf(stderr, "USBKit: Cannot open '%s'\n", path);
    return -1;
  }
  uint32_t version = 0;
  if (node_->DriverVersion(&version).call != 0) {
    fprintf(stderr, "USBKit: Device won't verify version\n");
    node_.reset();
    return -1;
  }
  if (version != kit::kRawDriverVersion) {
    fprintf(stderr, "USBKit: Driver version 0x%04x != expected version 0x%04x\n", version,
            kit::kRawDriverVersion);
    node_.reset();
    return -1;
  }
  if (node_->DeviceDescriptor(reinterpret_cast<uint8_t*>(&descriptor_)).call != 0) {
    fprintf(stderr, "USBKit: Device won't return device descriptor\n");
    node_.reset();
    return -1;
  }
  PopulateDevice();

  // The location is the path below /dev/bus/usb; a hub's is that of its directory.
  size_t length = strlen(path) - kRawRootCompared;
  const char* location = path + kRawRootCompared;
  if (length > 0 && location[length - 1] == 'b') {
    hub_ = true;
    length -= length < 4 ? length : 4;
  }
  location_.reset(CopyText(location, length));
  return 0;
}

int USBDevice::InitCheck() {
  return node_ ? 0 : -1;
}

void USBDevice::Release() {
  hub_ = false;
  node_.reset();
  location_.reset();
  serial_.reset();
  manufacturer_.reset();
  product_.reset();
  active_ = nullptr;
  configurations_.clear();
}

const char* USBDevice::Location() const {
  return location_.get();
}

void USBDevice::PopulateDevice() {
  for (uint32_t i = 0; i < CountConfigurations(); i++) {
    auto configuration = std::make_unique<USBConfiguration>(i, this);
    if (!node_->ConfigurationDescriptor(i, reinterpret_cast<uint8_t*>(&configuration->descriptor_))
             .Ok())
      continue;
    PopulateConfig(configuration.get());
    configurations_.push_back(std::move(configuration));
  }
}

void USBDevice::PopulateConfig(USBConfiguration* configuration) {
  for (uint32_t j = 0; j < configuration->CountInterfaces(); j++) {
    auto interface = std::make_unique<USBInterface>(j, configuration);
    if (!node_
             ->InterfaceDescriptor(configuration->Index(), j,
                                   reinterpret_cast<uint8_t*>(&interface->descriptor_))
             .Ok())
      continue;
    PopulateInterface(interface.get());
    configuration->interfaces_.push_back(std::move(interface));
  }
}

void USBDevice::PopulateInterface(USBInterface* interface) {
  uint32_t configuration = interface->Configuration()->Index();
  for (uint32_t k = 0; k < interface->CountEndpoints(); k++) {
    auto endpoint = std::make_unique<USBEndpoint>(k, interface);
    if (!node_
             ->EndpointDescriptor(configuration, interface->Index(), k,
                                  reinterpret_cast<uint8_t*>(&endpoint->descriptor_))
             .Ok())
      continue;
    interface->endpoints_.push_back(std::move(endpoint));
  }
}

const char* USBDevice::CachedString(uint8_t index, std::unique_ptr<char[]>* cache) const {
  if (index == 0) return "";
  cache->reset(DecodeStringDescriptor(index));
  return *cache ? cache->get() : "";
}

const char* USBDevice::ManufacturerString() const {
  return CachedString(descriptor_.iManufacturer, &manufacturer_);
}

const char* USBDevice::ProductString() const {
  return CachedString(descriptor_.iProduct, &product_);
}

const char* USBDevice::SerialNumberString() const {
  return CachedString(descriptor_.iSerialNumber, &serial_);
}

uint32_t USBDevice::CountConfigurations() const {
  return node_ ? descriptor_.bNumConfigurations : 0;
}

const USBConfiguration* USBDevice::ConfigurationAt(uint32_t position) const {
  return position < configurations_.size() ? configurations_[position].get() : nullptr;
}

int USBDevice::SetConfiguration(const USBConfiguration* configuration) {
  // A configuration of another device would leave the active one dangling.
  if (configuration == nullptr || configuration->Device() != this || !node_) return -1;
  if (!node_->SetConfiguration(configuration->Index()).Ok()) return -1;
  active_ = configuration;
  return 0;
}

ssize_t USBDevice::ControlTransfer(uint8_t request_type, uint8_t request, uint16_t value,
                                   uint16_t index, uint16_t length, void* data) const {
  if (!node_) return -1;
  uint16_t moved = length;
  if (!node_->ControlTransfer(request_type, request, value, index, &moved, data).Ok()) return -1;
  // A driver claiming more than was asked for is not believed.
  return moved <= length ? moved : -1;
}

bool USBDevice::Serves(const USBEndpoint* endpoint) const {
  return endpoint != nullptr && endpoint->Device() == this && node_;
}

ssize_t USBDevice::PipeTransfer(const USBEndpoint* endpoint, void* data, uint32_t length,
                                bool interrupt) const {
  if (!Serves(endpoint)) return -1;
  uint32_t moved = length;
  uint32_t interface = endpoint->Interface()->Index();
  kit::RawReply reply = interrupt
                            ? node_->InterruptTransfer(interface, endpoint->Index(), data, &moved)
                            : node_->BulkTransfer(interface, endpoint->Index(), data, &moved);
  if (!reply.Ok()) return -1;
  return moved <= length ? ssize_t(moved) : -1;
}

ssize_t USBDevice::BulkTransfer(const USBEndpoint* endpoint, void* data, uint32_t length) const {
  return PipeTransfer(endpoint, data, length, false);
}

ssize_t USBDevice::InterruptTransfer(const USBEndpoint* endpoint, void* data,
                                     uint32_t length) const {
  return PipeTransfer(endpoint, data, length, true);
}

void USBDevice::StartReadAhead(const USBEndpoint* endpoint, uint64_t total, uint32_t piece) const {
  if (!Serves(endpoint) || !ReadsAhead()) return;
  node_->StartReadAhead(endpoint->Interface()->Index(), endpoint->Index(), total, piece);
}

void USBDevice::EndReadAhead(const USBEndpoint* endpoint) const {
  if (!Serves(endpoint) || !ReadsAhead()) return;
  node_->EndReadAhead(endpoint->Interface()->Index(), endpoint->Index());
}

size_t USBDevice::GetStringDescriptor(uint32_t index, usb_string_descriptor* descriptor,
                                      uint32_t size) const {
  if (!node_ || descriptor == nullptr) return 0;
  uint32_t delivered = size;
  if (!node_->StringDescriptor(index, reinterpret_cast<uint8_t*>(descriptor), &delivered).Ok())
    return 0;
  return delivered <= size ? delivered : 0;
}

char* USBDevice::DecodeStringDescriptor(uint32_t index) const {
  uint8_t buffer[kStringBufferSize];
  size_t delivered =
      GetStringDescriptor(index, reinterpret_cast<usb_string_descriptor*>(buffer), sizeof buffer);
  if (delivered <= 2 || buffer[0] != delivered) return nullptr;
  size_t characters = (delivered - 2) / 2;
  char* text = new char[characters + 1];
  size_t i = 0;
  // Each UTF-16 code unit keeps only its low byte; a zero ends the text.
  for (; i < characters && buffer[2 + 2 * i] != 0; i++) text[i] = char(buffer[2 + 2 * i]);
  text[i] = '\0';
  return text;
}

size_t USBDevice::GetDescriptor(uint8_t type, uint8_t index, uint16_t language, void* data,
                                uint32_t size) const {
  if (!node_ || data == nullptr) return 0;
  uint32_t delivered = size;
  if (!node_->Descriptor(type, index, language, static_cast<uint8_t*>(data), &delivered).Ok())
    return 0;
  return delivered <= size ? delivered : 0;
}

int USBDevice::GetOtherDescr(uint32_t configuration, uint32_t interface, uint32_t index,
                             usb_descriptor* descriptor, uint32_t size) const {
  if (!node_ || descriptor == nullptr) return -1;
  return node_->OtherDescriptor(configuration, interface, index,
                                reinterpret_cast<uint8_t*>(descriptor), size)
                 .Ok()
             ? 0
             : -1;
}
