#include "sim/usbfs/UsbfsAdapter.h"

#include <linux/usbdevice_fs.h>
#include <sys/ioctl.h>

#include <cerrno>
#include <cstddef>
#include <cstdio>
#include <cstring>

namespace sim {

namespace {

constexpr uint8_t kGetDescriptor = 6;
constexpr uint8_t kGetConfiguration = 8;
constexpr uint8_t kSetConfiguration = 9;
constexpr int kFullSpeed = 2;  // USB_SPEED_FULL
constexpr size_t kSetupSize = 8;

long Result(const kit::RawReply& reply, long moved) {
  return reply.Ok() ? moved : -EPIPE;
}

using Data = IoctlDataRef;

// The pointer at `offset` of `data` leads into the caller's memory: the `length` bytes
// there, written back to the caller when the request completes. An ioctl's own argument
// is such a pointer at offset 0.
Data Resolve(UMockdevIoctlData* data, size_t offset, size_t length) {
  return Data(data != nullptr ? umockdev_ioctl_data_resolve(data, offset, length, nullptr)
                              : nullptr);
}

template <typename T>
T* As(const Data& data) {
  return data && size_t(data->data_len) >= sizeof(T) ? reinterpret_cast<T*>(data->data) : nullptr;
}

// The structure the ioctl's argument points at.
template <typename T>
Data Fetch(UMockdevIoctlData* arg) {
  return Resolve(arg, 0, sizeof(T));
}

}  // namespace

UsbfsAdapter::UsbfsAdapter(std::shared_ptr<SimDevice> device, uint8_t devnum)
    : device_(std::move(device)), devnum_(devnum), handler_(umockdev_ioctl_base_new()) {
  g_signal_connect(handler_, "handle-ioctl", G_CALLBACK(OnIoctl), this);
  g_signal_connect(handler_, "handle-read", G_CALLBACK(OnRead), this);
  g_signal_connect(handler_, "client-connected", G_CALLBACK(OnConnected), this);
  g_signal_connect(handler_, "client-vanished", G_CALLBACK(OnVanished), this);
}

UsbfsAdapter::~UsbfsAdapter() {
  g_signal_handlers_disconnect_by_data(handler_, this);
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
  adapter->opens_.erase(client);  // with the URBs it never reaped
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
    Data wanted = Fetch<uint64_t>(arg);
    auto* offset = As<uint64_t>(wanted);
    if (offset == nullptr) return -EFAULT;
    open.offset = *offset;
    return 0;
  }
  // URBs that completed before the device went are still given back, as the kernel does:
  // a transfer never reaped would keep the program's event loop waiting for it.
  if (request == USBDEVFS_REAPURB || request == USBDEVFS_REAPURBNDELAY) return Reap(open, arg);
  if (Stale(open)) return -ENODEV;
  switch (request) {
    case USBDEVFS_GET_CAPABILITIES: {
      Data target = Fetch<uint32_t>(arg);
      auto* caps = As<uint32_t>(target);
      if (caps == nullptr) return -EFAULT;
      *caps = USBDEVFS_CAP_NO_PACKET_SIZE_LIM | USBDEVFS_CAP_BULK_CONTINUATION;
      return 0;
    }
    case USBDEVFS_GET_SPEED:
      return kFullSpeed;
    case USBDEVFS_CONNECTINFO: {
      Data target = Fetch<usbdevfs_connectinfo>(arg);
      auto* info = As<usbdevfs_connectinfo>(target);
      if (info == nullptr) return -EFAULT;
      info->devnum = devnum_;
      info->slow = 0;
      return 0;
    }
    case USBDEVFS_SETCONFIGURATION: {
      Data target = Fetch<unsigned int>(arg);
      auto* value = As<unsigned int>(target);
      if (value == nullptr) return -EFAULT;
      return Control(0, kSetConfiguration, uint16_t(*value), 0, nullptr, 0) < 0 ? -EINVAL : 0;
    }
    case USBDEVFS_CLAIMINTERFACE:
    case USBDEVFS_RELEASEINTERFACE:
    case USBDEVFS_DISCONNECT_CLAIM: {  // no driver to disconnect: a plain claim
      // The interface number comes first in the disconnect-and-claim request too.
      Data target = Fetch<unsigned int>(arg);
      auto* number = As<unsigned int>(target);
      if (number == nullptr) return -EFAULT;
      return HasInterface(*number) ? 0 : -EINVAL;
    }
    case USBDEVFS_GETDRIVER:
    case USBDEVFS_IOCTL:  // the one a program sends here is a driver disconnect
      return -ENODATA;    // no kernel driver is bound
    case USBDEVFS_CONTROL: {
      Data target = Fetch<usbdevfs_ctrltransfer>(arg);
      auto* transfer = As<usbdevfs_ctrltransfer>(target);
      if (transfer == nullptr) return -EFAULT;
      Data data;
      if (transfer->wLength > 0) {
        data = Resolve(target.get(), offsetof(usbdevfs_ctrltransfer, data), transfer->wLength);
        if (!data) return -EFAULT;
      }
      return Control(transfer->bRequestType, transfer->bRequest, transfer->wValue, transfer->wIndex,
                     data ? data->data : nullptr, transfer->wLength);
    }
    case USBDEVFS_BULK: {
      Data target = Fetch<usbdevfs_bulktransfer>(arg);
      auto* transfer = As<usbdevfs_bulktransfer>(target);
      if (transfer == nullptr) return -EFAULT;
      Data data = Resolve(target.get(), offsetof(usbdevfs_bulktransfer, data), transfer->len);
      if (!data) return -EFAULT;
      return Bulk(uint8_t(transfer->ep), data->data, transfer->len);
    }
    case USBDEVFS_SUBMITURB:
      return Submit(open, arg);
    case USBDEVFS_DISCARDURB:
      return -EINVAL;  // every URB has completed already
    default:
      fprintf(stderr, "usbfs adapter: unhandled ioctl 0x%lx\n", request);
      return -ENOTTY;
  }
}

bool UsbfsAdapter::HasInterface(unsigned int number) const {
  uint8_t interface[9];
  int active = device_->ActiveConfiguration();
  return active >= 0 && device_->InterfaceDescriptor(active, number, interface).Ok();
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
  Data target = Fetch<usbdevfs_urb>(arg);
  auto* urb = As<usbdevfs_urb>(target);
  if (urb == nullptr) return -EFAULT;
  Data buffer;
  if (urb->buffer_length > 0) {
    buffer = Resolve(target.get(), offsetof(usbdevfs_urb, buffer), size_t(urb->buffer_length));
    if (!buffer) return -EFAULT;
  }
  long result;
  if (urb->type == USBDEVFS_URB_TYPE_CONTROL && buffer &&
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
  // Complete at once: status and data reach the caller when this request completes, and
  // the URB waits to be reaped.
  urb->status = result < 0 ? int(result) : 0;
  urb->actual_length = result < 0 ? 0 : int(result);
  open.reaped.push_back(std::move(target));
  return 0;
}

long UsbfsAdapter::Reap(Open& open, UMockdevIoctlData* arg) {
  if (open.reaped.empty()) return Stale(open) ? -ENODEV : -EAGAIN;
  Data slot = Fetch<void*>(arg);
  if (!slot) return -EFAULT;
  umockdev_ioctl_data_set_ptr(slot.get(), 0, open.reaped.front().get());
  open.reaped.pop_front();
  return 0;
}

}  // namespace sim
