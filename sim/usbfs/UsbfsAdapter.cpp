#include "sim/usbfs/UsbfsAdapter.h"

#include <linux/usbdevice_fs.h>
#include <pthread.h>
#include <sys/ioctl.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstddef>
#include <cstdio>
#include <cstring>

#include "sim/CpuTime.h"

namespace sim {

namespace {

constexpr uint8_t kGetDescriptor = 6;
constexpr uint8_t kGetConfiguration = 8;
constexpr uint8_t kSetConfiguration = 9;
constexpr int kFullSpeed = 2;  // USB_SPEED_FULL
constexpr size_t kSetupSize = 8;
constexpr uint8_t kTypeMask = 3;
constexpr uint8_t kInterruptType = 3;
constexpr uint8_t kInputBit = 0x80;
// An ioctl whose answer comes later.
constexpr long kAnswerLater = LONG_MAX;
// How long a reap that keeps finding nothing waits before it answers: long enough that a
// program polling the always-readable fd costs next to no CPU, short enough that its own
// timeouts still fire on time.
constexpr guint kIdleReapMs = 20;

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

void Answer(UMockdevIoctlClient* client, long result) {
  if (result < 0)
    umockdev_ioctl_client_complete(client, -1, int(-result));
  else
    umockdev_ioctl_client_complete(client, result, 0);
}

// Status and length of a URB that completed with `result` (bytes moved or minus an errno).
void Complete(usbdevfs_urb& urb, long result) {
  urb.status = result < 0 ? int(result) : 0;
  urb.actual_length = result < 0 ? 0 : int(result);
}

struct HeldReap {
  UsbfsAdapter* adapter;
  UMockdevIoctlClient* client;
};

// A held reap's wait: a source that is ready at its ready time and then runs its callback.
gboolean DispatchHeldReap(GSource*, GSourceFunc callback, gpointer data) {
  return callback(data);
}
GSourceFuncs kHeldReapFuncs = {nullptr, nullptr, DispatchHeldReap, nullptr, nullptr, nullptr};

// GLib's monotonic clock and the steady clock are the same clock, in microseconds.
gint64 Microseconds(Pacer::Clock::time_point moment) {
  auto since = moment.time_since_epoch();
  return std::chrono::ceil<std::chrono::microseconds>(since).count();
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

void UsbfsAdapter::Enumerate() {
  Control(0, kSetConfiguration, 1, 0, nullptr, 0);
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

double UsbfsAdapter::HandlerCpuSeconds() const {
  clockid_t clock = handler_clock_;
  return clock == -1 ? 0 : CpuSeconds(clock);
}

bool UsbfsAdapter::Stale(const Open& open) const {
  return device_->IsGone() || device_->Generation() != open.generation;
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

// The program waits in its ioctl meanwhile; the wait runs where the adapter's requests are
// handled, so other programs are served as usual.
void UsbfsAdapter::Hold(UMockdevIoctlClient* client, gint64 ready) {
  GSource* source = g_source_new(&kHeldReapFuncs, sizeof(GSource));
  g_source_set_ready_time(source, ready);
  g_source_set_callback(source, OnHeldReap, new HeldReap{this, g_object_ref(client)},
                        [](gpointer held) {
                          g_object_unref(static_cast<HeldReap*>(held)->client);
                          delete static_cast<HeldReap*>(held);
                        });
  GMainContext* context = g_main_context_ref_thread_default();
  g_source_attach(source, context);
  g_main_context_unref(context);
  held_.insert(source);
}

gboolean UsbfsAdapter::OnHeldReap(gpointer data) {
  auto* held = static_cast<HeldReap*>(data);
  UsbfsAdapter* adapter = held->adapter;
  std::lock_guard lock(adapter->mutex_);
  GSource* source = g_main_current_source();
  if (adapter->held_.erase(source) != 0) g_source_unref(source);
  auto found = adapter->opens_.find(held->client);
  if (found != adapter->opens_.end())
    Answer(held->client,
           adapter->Reap(found->second, umockdev_ioctl_client_get_arg(held->client), false));
  return G_SOURCE_REMOVE;
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
  if (request == USBDEVFS_REAPURB || request == USBDEVFS_REAPURBNDELAY)
    return Reap(open, arg, true);
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
      if (ClaimedByAnother(open)) return -EBUSY;
      return Control(0, kSetConfiguration, uint16_t(*value), 0, nullptr, 0) < 0 ? -EINVAL : 0;
    }
    case USBDEVFS_CLAIMINTERFACE:
    case USBDEVFS_RELEASEINTERFACE:
    case USBDEVFS_DISCONNECT_CLAIM: {  // no driver to disconnect: a plain claim
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
      return Transfer(TransferKind::kBulk, uint8_t(transfer->ep), data->data, transfer->len);
    }
    case USBDEVFS_SUBMITURB:
      return Submit(open, arg);
    case USBDEVFS_DISCARDURB:
      return Discard(open, arg);
    default:
      fprintf(stderr, "usbfs adapter: unhandled ioctl 0x%lx\n", request);
      return -ENOTTY;
  }
}

bool UsbfsAdapter::ClaimedByAnother(const Open& open) const {
  for (const auto& [client, other] : opens_)
    if (&other != &open && !other.claimed.empty() && !Stale(other)) return true;
  return false;
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

long UsbfsAdapter::Submit(Open& open, UMockdevIoctlData* arg) {
  Data target = Fetch<usbdevfs_urb>(arg);
  auto* urb = As<usbdevfs_urb>(target);
  if (urb == nullptr) return -EFAULT;
  Data buffer;
  if (urb->buffer_length > 0) {
    buffer = Resolve(target.get(), offsetof(usbdevfs_urb, buffer), size_t(urb->buffer_length));
    if (!buffer) return -EFAULT;
  }
  open.idle = false;
  if (urb->type == USBDEVFS_URB_TYPE_INTERRUPT) {
    std::optional<Pipe> pipe = FindPipe(urb->endpoint);
    if (!pipe) return -ENOENT;
    if ((pipe->attributes & kTypeMask) != kInterruptType || !(urb->endpoint & kInputBit))
      return -EINVAL;
    open.pending.push_back({std::move(target), std::move(buffer)});
    return 0;
  }
  long result;
  std::optional<Pacer::Clock::time_point> due;  // a bulk URB's, when the bus has carried it
  if (urb->type == USBDEVFS_URB_TYPE_CONTROL && buffer &&
      size_t(urb->buffer_length) >= kSetupSize) {
    uint8_t* setup = buffer->data;
    uint16_t length = uint16_t(setup[6] | setup[7] << 8);
    if (length > urb->buffer_length - kSetupSize) return -EINVAL;
    result = Control(setup[0], setup[1], uint16_t(setup[2] | setup[3] << 8),
                     uint16_t(setup[4] | setup[5] << 8), setup + kSetupSize, length);
  } else if (urb->type == USBDEVFS_URB_TYPE_BULK) {
    due.emplace();
    result = Transfer(TransferKind::kBulk, urb->endpoint, buffer ? buffer->data : nullptr,
                      uint32_t(urb->buffer_length), &*due);
  } else {
    return -EINVAL;
  }
  if (result == -ENODEV) return -ENODEV;
  // Status and data reach the caller when this request completes. A control URB waits to be
  // reaped at once; a bulk one's bytes have moved, but it completes only when the bus has
  // carried them, so that the program may have more in flight meanwhile, as with a kernel.
  Complete(*urb, result);
  if (due)
    open.timed.push_back({*due, std::move(target)});
  else
    open.reaped.push_back(std::move(target));
  return 0;
}

long UsbfsAdapter::Discard(Open& open, UMockdevIoctlData* arg) {
  if (arg == nullptr || size_t(arg->data_len) < sizeof(gulong)) return -EFAULT;
  auto* address = reinterpret_cast<const gulong*>(arg->data);  // the URB's own address
  auto found = std::find_if(open.pending.begin(), open.pending.end(),
                            [&](const Urb& urb) { return urb.urb->client_addr == *address; });
  auto timed = std::find_if(open.timed.begin(), open.timed.end(),
                            [&](const Timed& urb) { return urb.urb->client_addr == *address; });
  IoctlDataRef discarded;
  if (found != open.pending.end()) {
    discarded = std::move(found->urb);
    open.pending.erase(found);
  } else if (timed != open.timed.end()) {
    // Its bytes have left the camera: they are lost with it, as on a bus.
    discarded = std::move(timed->urb);
    open.timed.erase(timed);
  } else {
    return -EINVAL;  // completed already, or never submitted
  }
  Complete(*As<usbdevfs_urb>(discarded), -ENOENT);
  open.reaped.push_back(std::move(discarded));
  open.idle = false;
  return 0;
}

void UsbfsAdapter::Deliver(Open& open) {
  bool stale = Stale(open);
  for (auto urb = open.pending.begin(); urb != open.pending.end();) {
    auto* request = As<usbdevfs_urb>(urb->urb);
    long result;
    if (stale) {
      result = -ESHUTDOWN;  // the device went with the URB in flight
    } else if (device_->InterruptPacketWaiting(request->endpoint)) {
      result =
          Transfer(TransferKind::kInterrupt, request->endpoint,
                   urb->buffer ? urb->buffer->data : nullptr, uint32_t(request->buffer_length));
    } else {
      ++urb;
      continue;
    }
    Complete(*request, result);
    open.reaped.push_back(std::move(urb->urb));
    urb = open.pending.erase(urb);
  }
  Pacer::Clock::time_point now = Pacer::Clock::now();
  while (!open.timed.empty() && (stale || open.timed.front().due <= now)) {
    // Bytes still on the bus when the device went never arrived.
    if (open.timed.front().due > now)
      Complete(*As<usbdevfs_urb>(open.timed.front().urb), -ESHUTDOWN);
    open.reaped.push_back(std::move(open.timed.front().urb));
    open.timed.pop_front();
  }
}

gint64 UsbfsAdapter::HoldUntil(const Open& open) const {
  if (!open.timed.empty()) return Microseconds(open.timed.front().due);
  return g_get_monotonic_time() + gint64(kIdleReapMs) * 1000;
}

long UsbfsAdapter::Reap(Open& open, UMockdevIoctlData* arg, bool may_wait) {
  Deliver(open);
  if (open.reaped.empty()) {
    if (Stale(open)) return -ENODEV;
    if (open.pending.empty() && open.timed.empty()) return -EAGAIN;
    // The first empty reap answers at once: a program reaps until nothing is left after
    // every completion. Only one that finds nothing again is waiting for the pending URBs.
    if (may_wait && open.idle) return kAnswerLater;
    open.idle = true;
    return -EAGAIN;
  }
  Data slot = Fetch<void*>(arg);
  if (!slot) return -EFAULT;
  umockdev_ioctl_data_set_ptr(slot.get(), 0, open.reaped.front().get());
  open.reaped.pop_front();
  open.idle = false;
  return 0;
}

}  // namespace sim
