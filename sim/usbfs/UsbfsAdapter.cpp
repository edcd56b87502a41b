// The node's life and its requests: the table of ioctls and what each needs, the files the
// program opens and closes, and whether the device they were opened on is still the one
// plugged in.
#include "sim/usbfs/UsbfsAdapter.h"

#include <pthread.h>

#include <cstdio>

#include "sim/CpuTime.h"
#include "sim/usbfs/UsbfsData.h"

namespace sim {

using namespace usbfs;

// Every request a program sends to the node. A request marked `present` is answered ENODEV on
// a file opened before the device went away; the others are answered there too (a seek, and
// the reaps that give back what had completed, as the kernel does: a transfer never reaped
// would keep the program's event loop waiting for it).
const UsbfsAdapter::Request UsbfsAdapter::kRequests[] = {
    {kSeekRequest, false, &UsbfsAdapter::Seek},
    {USBDEVFS_REAPURB, false, &UsbfsAdapter::ReapRequest},
    {USBDEVFS_REAPURBNDELAY, false, &UsbfsAdapter::ReapRequest},
    {USBDEVFS_GET_CAPABILITIES, true, &UsbfsAdapter::Capabilities},
    {USBDEVFS_GET_SPEED, true, &UsbfsAdapter::Speed},
    {USBDEVFS_CONNECTINFO, true, &UsbfsAdapter::ConnectInfo},
    {USBDEVFS_SETCONFIGURATION, true, &UsbfsAdapter::SetConfiguration},
    {USBDEVFS_CLAIMINTERFACE, true, &UsbfsAdapter::Claim},
    {USBDEVFS_RELEASEINTERFACE, true, &UsbfsAdapter::Claim},
    {USBDEVFS_DISCONNECT_CLAIM, true, &UsbfsAdapter::Claim},  // no driver to disconnect
    {USBDEVFS_GETDRIVER, true, &UsbfsAdapter::NoDriver},
    {USBDEVFS_IOCTL, true, &UsbfsAdapter::NoDriver},  // the one sent here: a driver disconnect
    {USBDEVFS_CONTROL, true, &UsbfsAdapter::ControlRequest},
    {USBDEVFS_BULK, true, &UsbfsAdapter::BulkRequest},
    {USBDEVFS_SUBMITURB, true, &UsbfsAdapter::Submit},
    {USBDEVFS_DISCARDURB, true, &UsbfsAdapter::Discard},
};

UsbfsAdapter::UsbfsAdapter(std::shared_ptr<SimDevice> device, uint8_t devnum)
    : device_(std::move(device)), devnum_(devnum), handler_(umockdev_ioctl_base_new()) {
  g_signal_connect(handler_, "handle-ioctl", G_CALLBACK(OnIoctl), this);
  g_signal_connect(handler_, "handle-read", G_CALLBACK(OnRead), this);
  g_signal_connect(handler_, "client-connected", G_CALLBACK(OnConnected), this);
  g_signal_connect(handler_, "client-vanished", G_CALLBACK(OnVanished), this);
}

UsbfsAdapter::~UsbfsAdapter() {
  g_signal_handlers_disconnect_by_data(handler_, this);
  {
    std::lock_guard lock(mutex_);
    for (GSource* source : held_) {
      g_source_destroy(source);
      g_source_unref(source);
    }
    held_.clear();
  }
  g_object_unref(handler_);
}

double UsbfsAdapter::HandlerCpuSeconds() const {
  clockid_t clock = handler_clock_;
  return clock == -1 ? 0 : CpuSeconds(clock);
}

bool UsbfsAdapter::Stale(const Open& open) const {
  return device_->IsGone() || device_->Generation() != open.generation;
}

bool UsbfsAdapter::ClaimedByAnother(const Open& open) const {
  for (const auto& [client, other] : opens_)
    if (&other != &open && !other.claimed.empty() && !Stale(other)) return true;
  return false;
}

void UsbfsAdapter::OnConnected(UMockdevIoctlBase*, UMockdevIoctlClient* client, gpointer self) {
  auto* adapter = static_cast<UsbfsAdapter*>(self);
  std::lock_guard lock(adapter->mutex_);
  adapter->opens_[client].generation = adapter->device_->Generation();
}

void UsbfsAdapter::OnVanished(UMockdevIoctlBase*, UMockdevIoctlClient* client, gpointer self) {
  auto* adapter = static_cast<UsbfsAdapter*>(self);
  std::lock_guard lock(adapter->mutex_);
  adapter->opens_.erase(client);  // with its claims and the URBs it never reaped
}

gboolean UsbfsAdapter::OnIoctl(UMockdevIoctlBase*, UMockdevIoctlClient* client, gpointer self) {
  auto* adapter = static_cast<UsbfsAdapter*>(self);
  if (adapter->handler_clock_ == -1) {
    clockid_t clock;
    if (pthread_getcpuclockid(pthread_self(), &clock) == 0) adapter->handler_clock_ = clock;
  }
  std::lock_guard lock(adapter->mutex_);
  Open& open = adapter->opens_[client];
  unsigned long request = umockdev_ioctl_client_get_request(client);
  long result = adapter->Ioctl(open, request, umockdev_ioctl_client_get_arg(client));
  if (result == kAnswerLater)
    adapter->Hold(client, adapter->HoldUntil(open));
  else
    Answer(client, result);
  return TRUE;
}

long UsbfsAdapter::Ioctl(Open& open, unsigned long request, UMockdevIoctlData* arg) {
  for (const Request& known : kRequests) {
    if (known.request != request) continue;
    if (known.present && Stale(open)) return -ENODEV;
    return (this->*known.handle)(open, request, arg);
  }
  if (Stale(open)) return -ENODEV;
  fprintf(stderr, "usbfs adapter: unhandled ioctl 0x%lx\n", request);
  return -ENOTTY;
}

long UsbfsAdapter::Seek(Open& open, unsigned long, UMockdevIoctlData* arg) {
  Data wanted = Fetch<uint64_t>(arg);
  auto* offset = As<uint64_t>(wanted);
  if (offset == nullptr) return -EFAULT;
  open.offset = *offset;
  return 0;
}

}  // namespace sim
