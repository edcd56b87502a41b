#include "realstack/UsbfsAdapter.h"

#include <linux/usbdevice_fs.h>
#include <sys/ioctl.h>

#include <cerrno>
#include <cstddef>
#include <cstdio>
#include <cstring>

namespace realstack {

namespace {

constexpr uint8_t kGetDescriptor = 6;
constexpr uint8_t kGetConfiguration = 8;
constexpr uint8_t kSetConfiguration = 9;
constexpr int kFullSpeed = 2;  // USB_SPEED_FULL
constexpr size_t kSetupSize = 8;

long Result(const kit::RawReply& reply, long moved) {
  if (reply.call != 0) return -EPIPE;
  return reply.status == 0 ? moved : -EPIPE;
}

template <typename T>
T* As(UMockdevIoctlData* data) {
  return data != nullptr && size_t(data->data_len) >= sizeof(T) ? reinterpret_cast<T*>(data->data)
                                                                : nullptr;
}

}  // namespace

UsbfsAdapter::UsbfsAdapter(std::shared_ptr<sim::SimDevice> device, uint8_t devnum)
    : device_(std::move(device)), devnum_(devnum), handler_(umockdev_ioctl_base_new()) {
  g_signal_connect(handler_, "handle-ioctl", G_CALLBACK(OnIoctl), this);
  g_signal_connect(handler_, "handle-read", G_CALLBACK(OnRead), this);
  g_signal_connect(handler_, "client-connected", G_CALLBACK(OnConnected), this);
  g_signal_connect(handler_, "client-vanished", G_CALLBACK(OnVanished), this);
}

UsbfsAdapter::~UsbfsAdapter() {
  g_signal_handlers_disconnect_by_data(handler_, this);
  for (auto& [client, open] : opens_)
    for (UMockdevIoctlData* urb : open.reaped) g_object_unref(urb);
  g_object_unref(handler_);
}

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

bool UsbfsAdapter::Stale(const Open& open) const {
  return device_->IsGone() || device_->Generation() != open.generation;
}

void UsbfsAdapter::OnConnected(UMockdevIoctlBase*, UMockdevIoctlClient* client, gpointer self) {
  auto* adapter = static_cast<UsbfsAdapter*>(self);
  std::lock_guard lock(adapter->mutex_);
  adapter->opens_[client] = Open{0, adapter->device_->Generation(), {}};
}

void UsbfsAdapter::OnVanished(UMockdevIoctlBase*, UMockdevIoctlClient* client, gpointer self) {
  auto* adapter = static_cast<UsbfsAdapter*>(self);
  std::lock_guard lock(adapter->mutex_);
  auto found = adapter->opens_.find(client);
  if (found == adapter->opens_.end()) return;
  for (UMockdevIoctlData* urb : found->second.reaped) g_object_unref(urb);
  adapter->opens_.erase(found);
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

gboolean UsbfsAdapter::OnIoctl(UMockdevIoctlBase*, UMockdevIoctlClient* client, gpointer self) {
  auto* adapter = static_cast<UsbfsAdapter*>(self);
  std::lock_guard lock(adapter->mutex_);
  Open& open = adapter->opens_[client];
  unsigned long request = umockdev_ioctl_client_get_request(client);
  long result = adapter->Ioctl(open, request, umockdev_ioctl_client_get_arg(client));
  if (result < 0)
    umockdev_ioctl_client_complete(client, -1, int(-result));
  else
    umockdev_ioctl_client_complete(client, result, 0);
  return TRUE;
}

long UsbfsAdapter::Ioctl(Open& open, unsigned long request, UMockdevIoctlData* arg) {
  if (request == kSeekRequest) {
    // umockdev knows nothing of this request, so its argument arrives as the bare pointer.
    UMockdevIoctlData* wanted =
        arg ? umockdev_ioctl_data_resolve(arg, 0, sizeof(uint64_t), nullptr) : nullptr;
    auto* offset = As<uint64_t>(wanted);
    if (offset == nullptr) return -EFAULT;
    open.offset = *offset;
    return 0;
  }
  if (Stale(open)) return -ENODEV;
  switch (request) {
    case USBDEVFS_GET_CAPABILITIES: {
      auto* caps = As<uint32_t>(arg);
      if (caps == nullptr) return -EFAULT;
      *caps = USBDEVFS_CAP_NO_PACKET_SIZE_LIM | USBDEVFS_CAP_BULK_CONTINUATION;
      return 0;
    }
    case USBDEVFS_GET_SPEED:
      return kFullSpeed;
    case USBDEVFS_CONNECTINFO: {
      auto* info = As<usbdevfs_connectinfo>(arg);
      if (info == nullptr) return -EFAULT;
      info->devnum = devnum_;
      info->slow = 0;
      return 0;
    }
    case USBDEVFS_SETCONFIGURATION: {
      auto* value = As<unsigned int>(arg);
      if (value == nullptr) return -EFAULT;
      return Control(0, kSetConfiguration, uint16_t(*value), 0, nullptr, 0) < 0 ? -EINVAL : 0;
    }
    case USBDEVFS_CLAIMINTERFACE:
    case USBDEVFS_RELEASEINTERFACE: {
      auto* number = As<unsigned int>(arg);
      uint8_t interface[9];
      int active = device_->ActiveConfiguration();
      if (number == nullptr) return -EFAULT;
      if (active < 0 || !device_->InterfaceDescriptor(active, *number, interface).Ok())
        return -EINVAL;
      return 0;
    }
    case USBDEVFS_GETDRIVER:
      return -ENODATA;
    case USBDEVFS_CONTROL: {
      auto* transfer = As<usbdevfs_ctrltransfer>(arg);
      if (transfer == nullptr) return -EFAULT;
      UMockdevIoctlData* data = nullptr;
      if (transfer->wLength > 0) {
        data = umockdev_ioctl_data_resolve(arg, offsetof(usbdevfs_ctrltransfer, data),
                                           transfer->wLength, nullptr);
        if (data == nullptr) return -EFAULT;
      }
      return Control(transfer->bRequestType, transfer->bRequest, transfer->wValue, transfer->wIndex,
                     data ? data->data : nullptr, transfer->wLength);
    }
    case USBDEVFS_BULK: {
      auto* transfer = As<usbdevfs_bulktransfer>(arg);
      if (transfer == nullptr) return -EFAULT;
      UMockdevIoctlData* data = umockdev_ioctl_data_resolve(
          arg, offsetof(usbdevfs_bulktransfer, data), transfer->len, nullptr);
      if (data == nullptr) return -EFAULT;
      return Bulk(uint8_t(transfer->ep), data->data, transfer->len);
    }
    case USBDEVFS_SUBMITURB:
      return Submit(open, arg);
    case USBDEVFS_REAPURB:
    case USBDEVFS_REAPURBNDELAY:
      return Reap(open, arg);
    case USBDEVFS_DISCARDURB:
      return -EINVAL;  // every URB has completed already
    default:
      fprintf(stderr, "usbfs adapter: unhandled ioctl 0x%lx\n", request);
      return -ENOTTY;
  }
}

long UsbfsAdapter::Control(uint8_t request_type, uint8_t request, uint16_t value, uint16_t index,
                           uint8_t* data, uint16_t length) {
  bool standard = (request_type & 0x60) == 0;
  if (standard && request == kGetDescriptor && (request_type & 0x80)) {
    uint32_t moved = length;
    kit::RawReply reply =
        device_->Descriptor(uint8_t(value >> 8), uint8_t(value), index, data, &moved);
    return Result(reply, moved);
  }
  if (standard && request == kGetConfiguration && length >= 1) {
    data[0] = uint8_t(device_->ActiveConfiguration() + 1);
    return 1;
  }
  if (standard && request == kSetConfiguration) {
    // The simulated device numbers configurations by position; usbfs by value.
    return Result(device_->SetConfiguration(uint32_t(value) - 1), 0);
  }
  uint16_t moved = length;
  kit::RawReply reply = device_->ControlTransfer(request_type, request, value, index, &moved, data);
  return Result(reply, moved);
}

long UsbfsAdapter::Bulk(uint8_t endpoint, uint8_t* data, uint32_t length) {
  int active = device_->ActiveConfiguration();
  uint8_t configuration[9];
  if (active < 0 || !device_->ConfigurationDescriptor(active, configuration).Ok()) return -ENOENT;
  for (uint32_t i = 0; i < configuration[4]; ++i) {
    uint8_t interface[9];
    if (!device_->InterfaceDescriptor(active, i, interface).Ok()) continue;
    for (uint32_t e = 0; e < interface[4]; ++e) {
      uint8_t found[7];
      if (!device_->EndpointDescriptor(active, i, e, found).Ok() || found[2] != endpoint) continue;
      uint32_t moved = length;
      long result = Result(device_->BulkTransfer(i, e, data, &moved), moved);
      return device_->IsGone() ? -ENODEV : result;
    }
  }
  return -ENOENT;
}

long UsbfsAdapter::Submit(Open& open, UMockdevIoctlData* arg) {
  auto* urb = As<usbdevfs_urb>(arg);
  if (urb == nullptr) return -EFAULT;
  UMockdevIoctlData* buffer = nullptr;
  if (urb->buffer_length > 0) {
    buffer = umockdev_ioctl_data_resolve(arg, offsetof(usbdevfs_urb, buffer),
                                         size_t(urb->buffer_length), nullptr);
    if (buffer == nullptr) return -EFAULT;
  }
  long result = -EINVAL;
  if (urb->type == USBDEVFS_URB_TYPE_CONTROL && buffer != nullptr &&
      size_t(urb->buffer_length) >= kSetupSize) {
    uint8_t* setup = buffer->data;
    uint16_t length = uint16_t(setup[6] | setup[7] << 8);
    if (length > urb->buffer_length - kSetupSize) return -EINVAL;
    result = Control(setup[0], setup[1], uint16_t(setup[2] | setup[3] << 8),
                     uint16_t(setup[4] | setup[5] << 8), setup + kSetupSize, length);
  } else if (urb->type == USBDEVFS_URB_TYPE_BULK) {
    result = Bulk(urb->endpoint, buffer ? buffer->data : nullptr, uint32_t(urb->buffer_length));
  } else {
    return -EINVAL;
  }
  if (result == -ENODEV) return -ENODEV;
  urb->status = result < 0 ? int(result) : 0;
  urb->actual_length = result < 0 ? 0 : int(result);
  open.reaped.push_back(
      G_TYPE_CHECK_INSTANCE_CAST(g_object_ref(arg), UMOCKDEV_TYPE_IOCTL_DATA, UMockdevIoctlData));
  return 0;
}

long UsbfsAdapter::Reap(Open& open, UMockdevIoctlData* arg) {
  if (open.reaped.empty()) return Stale(open) ? -ENODEV : -EAGAIN;
  UMockdevIoctlData* urb = open.reaped.front();
  open.reaped.pop_front();
  umockdev_ioctl_data_set_ptr(arg, 0, urb);
  g_object_unref(urb);
  return 0;
}

}  // namespace realstack
