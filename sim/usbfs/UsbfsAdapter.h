// Serves a simulated device over usbdevfs: the reads and ioctls that a program makes on an
// emulated /dev/bus/usb node arrive here and are answered from the simulated device.
// Every URB completes at once, because the emulated fd is always readable and a pending
// one would make libusb's event loop spin. An fd opened before the device went away (or
// before it was plugged in again) answers ENODEV, but still gives back the URBs that had
// completed, as the kernel does.
#pragma once

#include <umockdev.h>

#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

#include "sim/SimDevice.h"
#include "sim/usbfs/SeekRequest.h"

namespace sim {

struct IoctlDataUnref {
  void operator()(UMockdevIoctlData* data) const { g_object_unref(data); }
};
using IoctlDataRef = std::unique_ptr<UMockdevIoctlData, IoctlDataUnref>;

class UsbfsAdapter {
 public:
  UsbfsAdapter(std::shared_ptr<SimDevice> device, uint8_t devnum);
  ~UsbfsAdapter();

  UsbfsAdapter(const UsbfsAdapter&) = delete;
  UsbfsAdapter& operator=(const UsbfsAdapter&) = delete;

  UMockdevIoctlBase* Handler() const { return handler_; }
  // The usbfs read layout: device descriptor, then each configuration's full set.
  std::vector<uint8_t> DescriptorBlob() const;

 private:
  struct Open {
    uint64_t offset = 0;
    uint64_t generation = 0;
    std::deque<IoctlDataRef> reaped;  // completed URBs, waiting to be reaped
  };

  static gboolean OnIoctl(UMockdevIoctlBase*, UMockdevIoctlClient* client, gpointer self);
  static gboolean OnRead(UMockdevIoctlBase*, UMockdevIoctlClient* client, gpointer self);
  static void OnConnected(UMockdevIoctlBase*, UMockdevIoctlClient* client, gpointer self);
  static void OnVanished(UMockdevIoctlBase*, UMockdevIoctlClient* client, gpointer self);

  // Result (>= 0) or a negative errno.
  long Ioctl(Open& open, unsigned long request, UMockdevIoctlData* arg);
  long Control(uint8_t request_type, uint8_t request, uint16_t value, uint16_t index, uint8_t* data,
               uint16_t length);
  long Bulk(uint8_t endpoint, uint8_t* data, uint32_t length);
  long Submit(Open& open, UMockdevIoctlData* urb);
  long Reap(Open& open, UMockdevIoctlData* arg);
  bool Stale(const Open& open) const;
  bool HasInterface(unsigned int number) const;

  std::shared_ptr<SimDevice> device_;
  uint8_t devnum_;
  UMockdevIoctlBase* handler_;
  std::mutex mutex_;
  std::map<UMockdevIoctlClient*, Open> opens_;
};

}  // namespace sim
