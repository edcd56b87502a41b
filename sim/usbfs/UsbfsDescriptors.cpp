// The device as the node describes it: the descriptors a program reads from the node, and
// the interfaces and endpoints of the active configuration.
#include <algorithm>
#include <cstring>

#include "sim/usbfs/UsbfsAdapter.h"
#include "sim/usbfs/UsbfsData.h"

namespace sim {

using namespace usbfs;

std::vector<uint8_t> UsbfsAdapter::DescriptorBlob() const {
  std::vector<uint8_t> blob(18);
  if (!device_->DeviceDescriptor(blob.data()).Ok()) return {};
  for (uint8_t index = 0; index < blob[17]; ++index) {
    std::vector<uint8_t> set(65535);
    uint32_t length = uint32_t(set.size());
    if (!device_->Descriptor(2, index, 0, set.data(), &length).Ok()) break;
    blob.insert(blob.end(), set.begin(), set.begin() + length);
  }
  return blob;
}

gboolean UsbfsAdapter::OnRead(UMockdevIoctlBase*, UMockdevIoctlClient* client, gpointer self) {
  auto* adapter = static_cast<UsbfsAdapter*>(self);
  std::lock_guard lock(adapter->mutex_);
  Open& open = adapter->opens_[client];
  if (adapter->Stale(open)) {
    umockdev_ioctl_client_complete(client, -1, ENODEV);
    return TRUE;
  }
  UMockdevIoctlData* buffer = umockdev_ioctl_client_get_arg(client);
  std::vector<uint8_t> blob = adapter->DescriptorBlob();
  size_t start = std::min<uint64_t>(open.offset, blob.size());
  size_t count = std::min(blob.size() - start, size_t(buffer->data_len));
  std::memcpy(buffer->data, blob.data() + start, count);
  open.offset += count;
  umockdev_ioctl_client_complete(client, long(count), 0);
  return TRUE;
}

bool UsbfsAdapter::HasInterface(unsigned int number) const {
  uint8_t interface[9];
  int active = device_->ActiveConfiguration();
  return active >= 0 && device_->InterfaceDescriptor(active, number, interface).Ok();
}

std::optional<UsbfsAdapter::Pipe> UsbfsAdapter::FindPipe(uint8_t address) const {
  int active = device_->ActiveConfiguration();
  uint8_t configuration[9];
  if (active < 0 || !device_->ConfigurationDescriptor(active, configuration).Ok())
    return std::nullopt;
  for (uint32_t i = 0; i < configuration[4]; ++i) {
    uint8_t interface[9];
    if (!device_->InterfaceDescriptor(active, i, interface).Ok()) continue;
    for (uint32_t e = 0; e < interface[4]; ++e) {
      uint8_t found[7];
      if (device_->EndpointDescriptor(active, i, e, found).Ok() && found[2] == address)
        return Pipe{i, e, found[3]};
    }
  }
  return std::nullopt;
}

}  // namespace sim
