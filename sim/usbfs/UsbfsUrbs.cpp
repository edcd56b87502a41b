// URBs: submitted, kept pending as a kernel keeps them, completed when their packet or their
// bytes have come, discarded, and reaped, with a reap that keeps finding nothing answered
// later.
#include <algorithm>
#include <chrono>

#include "sim/usbfs/UsbfsAdapter.h"
#include "sim/usbfs/UsbfsData.h"

namespace sim {

using namespace usbfs;

namespace {

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

long UsbfsAdapter::Submit(Open& open, unsigned long, UMockdevIoctlData* arg) {
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

long UsbfsAdapter::Discard(Open& open, unsigned long, UMockdevIoctlData* arg) {
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

long UsbfsAdapter::ReapRequest(Open& open, unsigned long, UMockdevIoctlData* arg) {
  return Reap(open, arg, true);
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

gint64 UsbfsAdapter::HoldUntil(const Open& open) const {
  if (!open.timed.empty()) return Microseconds(open.timed.front().due);
  return g_get_monotonic_time() + gint64(kIdleReapMs) * 1000;
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

}  // namespace sim
