// What the usbfs adapter's files share: the caller's memory as umockdev hands it over, and
// how an ioctl's answer goes back. Internal to sim/usbfs.
#pragma once

#include <linux/usbdevice_fs.h>
#include <sys/ioctl.h>

#include <cerrno>
#include <climits>
#include <cstddef>

#include "sim/usbfs/UsbfsAdapter.h"

namespace sim::usbfs {

// An ioctl whose answer comes later.
constexpr long kAnswerLater = LONG_MAX;

// Standard requests, and what a setup packet, an endpoint address and its attributes hold.
constexpr uint8_t kGetDescriptor = 6;
constexpr uint8_t kGetConfiguration = 8;
constexpr uint8_t kSetConfiguration = 9;
constexpr int kFullSpeed = 2;  // USB_SPEED_FULL
constexpr size_t kSetupSize = 8;
constexpr uint8_t kTypeMask = 3;
constexpr uint8_t kInterruptType = 3;
constexpr uint8_t kInputBit = 0x80;

// How long a reap that keeps finding nothing waits before it answers: long enough that a
// program polling the always-readable fd costs next to no CPU, short enough that its own
// timeouts still fire on time.
constexpr guint kIdleReapMs = 20;

using Data = IoctlDataRef;

inline long Result(const kit::RawReply& reply, long moved) {
  return reply.Ok() ? moved : -EPIPE;
}

// The pointer at `offset` of `data` leads into the caller's memory: the `length` bytes
// there, written back to the caller when the request completes. An ioctl's own argument
// is such a pointer at offset 0.
inline Data Resolve(UMockdevIoctlData* data, size_t offset, size_t length) {
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

inline void Answer(UMockdevIoctlClient* client, long result) {
  if (result < 0)
    umockdev_ioctl_client_complete(client, -1, int(-result));
  else
    umockdev_ioctl_client_complete(client, result, 0);
}

}  // namespace sim::usbfs
