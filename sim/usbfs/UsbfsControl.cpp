// The requests answered at once: the node's facts, configuration and interface claims, and
// the synchronous control and bulk transfers.
#include "sim/usbfs/UsbfsAdapter.h"
#include "sim/usbfs/UsbfsData.h"

namespace sim {

using namespace usbfs;

void UsbfsAdapter::Enumerate() {
  Control(0, kSetConfiguration, 1, 0, nullptr, 0);
}

long UsbfsAdapter::Capabilities(Open&, unsigned long, UMockdevIoctlData* arg) {
  Data target = Fetch<uint32_t>(arg);
  auto* caps = As<uint32_t>(target);
  if (caps == nullptr) return -EFAULT;
  *caps = USBDEVFS_CAP_NO_PACKET_SIZE_LIM | USBDEVFS_CAP_BULK_CONTINUATION;
  return 0;
}

long UsbfsAdapter::Speed(Open&, unsigned long, UMockdevIoctlData*) {
  return kFullSpeed;
}

long UsbfsAdapter::ConnectInfo(Open&, unsigned long, UMockdevIoctlData* arg) {
  Data target = Fetch<usbdevfs_connectinfo>(arg);
  auto* info = As<usbdevfs_connectinfo>(target);
  if (info == nullptr) return -EFAULT;
  info->devnum = devnum_;
  info->slow = 0;
  return 0;
}

long UsbfsAdapter::SetConfiguration(Open& open, unsigned long, UMockdevIoctlData* arg) {
  Data target = Fetch<unsigned int>(arg);
  auto* value = As<unsigned int>(target);
  if (value == nullptr) return -EFAULT;
  if (ClaimedByAnother(open)) return -EBUSY;
  return Control(0, kSetConfiguration, uint16_t(*value), 0, nullptr, 0) < 0 ? -EINVAL : 0;
}

long UsbfsAdapter::Claim(Open& open, unsigned long request, UMockdevIoctlData* arg) {
  // The interface number comes first in the disconnect-and-claim request too.
  Data target = Fetch<unsigned int>(arg);
  auto* number = As<unsigned int>(target);
  if (number == nullptr) return -EFAULT;
  if (!HasInterface(*number)) return -EINVAL;
  if (request == USBDEVFS_RELEASEINTERFACE)
    open.claimed.erase(*number);
  else
    open.claimed.insert(*number);
  return 0;
}

long UsbfsAdapter::NoDriver(Open&, unsigned long, UMockdevIoctlData*) {
  return -ENODATA;  // no kernel driver is bound
}

long UsbfsAdapter::ControlRequest(Open&, unsigned long, UMockdevIoctlData* arg) {
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

long UsbfsAdapter::BulkRequest(Open&, unsigned long, UMockdevIoctlData* arg) {
  Data target = Fetch<usbdevfs_bulktransfer>(arg);
  auto* transfer = As<usbdevfs_bulktransfer>(target);
  if (transfer == nullptr) return -EFAULT;
  Data data = Resolve(target.get(), offsetof(usbdevfs_bulktransfer, data), transfer->len);
  if (!data) return -EFAULT;
  return Transfer(TransferKind::kBulk, uint8_t(transfer->ep), data->data, transfer->len);
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

long UsbfsAdapter::Transfer(TransferKind kind, uint8_t endpoint, uint8_t* data, uint32_t length,
                            Pacer::Clock::time_point* due) {
  std::optional<Pipe> pipe = FindPipe(endpoint);
  if (!pipe) return -ENOENT;
  uint32_t moved = length;
  kit::RawReply reply;
  if (kind != TransferKind::kBulk)
    reply = device_->InterruptTransfer(pipe->interface, pipe->endpoint, data, &moved);
  else if (due != nullptr)
    reply = device_->SubmitBulk(pipe->interface, pipe->endpoint, data, &moved, due);
  else
    reply = device_->BulkTransfer(pipe->interface, pipe->endpoint, data, &moved);
  return device_->IsGone() ? -ENODEV : Result(reply, moved);
}

}  // namespace sim
