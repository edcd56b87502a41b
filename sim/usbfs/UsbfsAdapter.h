// Serves a simulated device over usbdevfs: the reads and ioctls that a program makes on an
// emulated /dev/bus/usb node arrive here and are answered from the simulated device.
// Control and bulk URBs complete at once; an interrupt-IN URB stays pending until the
// device has a packet for it or the program discards it, as with the kernel. The emulated
// fd is always readable, so a program waiting for a pending URB polls it and reaps in a
// loop: a reap that finds nothing complete twice in a row is answered only after a short
// wait, which keeps that loop from spinning. An fd opened before the device went away (or
// before it was plugged in again) answers ENODEV, but still gives back the URBs that had
// completed, as the kernel does.
// Its parts, by concern: UsbfsAdapter.cpp (the request table, the files opened and closed, plug
// state), UsbfsDescriptors.cpp (what the node reads as, the active configuration's pipes),
// UsbfsControl.cpp (the requests answered at once, control and bulk transfers), UsbfsUrbs.cpp
// (URBs submitted, completed, discarded and reaped).
#pragma once

#include <umockdev.h>

#include <atomic>
#include <cstdint>
#include <ctime>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
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
  // What the kernel does when the device appears: select its first configuration.
  void Enumerate();
  // The usbfs read layout: device descriptor, then each configuration's full set.
  std::vector<uint8_t> DescriptorBlob() const;
  // The CPU seconds of the thread that answers the node's requests (0 before the first):
  // the emulated kernel's and camera's cost, apart from the program's.
  double HandlerCpuSeconds() const;

 private:
  struct Urb {
    IoctlDataRef urb;     // the program's usbdevfs_urb
    IoctlDataRef buffer;  // its data, none when it has no length
  };
  struct Timed {
    Pacer::Clock::time_point due;  // when the bus has carried its bytes
    IoctlDataRef urb;
  };
  struct Open {
    uint64_t offset = 0;
    uint64_t generation = 0;
    std::set<unsigned int> claimed;   // interface numbers
    std::deque<Urb> pending;          // interrupt-IN URBs waiting for a packet
    std::deque<Timed> timed;          // bulk URBs whose bytes are still on the bus
    std::deque<IoctlDataRef> reaped;  // completed URBs, waiting to be reaped
    bool idle = false;                // the last reap found nothing complete but URBs pending
  };
  // Where an endpoint address lies in the active configuration.
  struct Pipe {
    uint32_t interface = 0;
    uint32_t endpoint = 0;
    uint8_t attributes = 0;
  };

  static gboolean OnIoctl(UMockdevIoctlBase*, UMockdevIoctlClient* client, gpointer self);
  static gboolean OnRead(UMockdevIoctlBase*, UMockdevIoctlClient* client, gpointer self);
  static void OnConnected(UMockdevIoctlBase*, UMockdevIoctlClient* client, gpointer self);
  static void OnVanished(UMockdevIoctlBase*, UMockdevIoctlClient* client, gpointer self);
  static gboolean OnHeldReap(gpointer held);

  // Result (>= 0), a negative errno, or kAnswerLater: through the table of requests.
  long Ioctl(Open& open, unsigned long request, UMockdevIoctlData* arg);
  // One request's handler, with the request it answers and the ioctl's argument.
  using RequestHandler = long (UsbfsAdapter::*)(Open& open, unsigned long request, UMockdevIoctlData* arg);
  struct Request {
    unsigned long request;
    bool present;  // answered only while the device the file was opened on is plugged in
    RequestHandler handle;
  };
  static const Request kRequests[];
  long Seek(Open& open, unsigned long request, UMockdevIoctlData* arg);
  long Capabilities(Open& open, unsigned long request, UMockdevIoctlData* arg);
  long Speed(Open& open, unsigned long request, UMockdevIoctlData* arg);
  long ConnectInfo(Open& open, unsigned long request, UMockdevIoctlData* arg);
  long SetConfiguration(Open& open, unsigned long request, UMockdevIoctlData* arg);
  long Claim(Open& open, unsigned long request, UMockdevIoctlData* arg);
  long NoDriver(Open& open, unsigned long request, UMockdevIoctlData* arg);
  long ControlRequest(Open& open, unsigned long request, UMockdevIoctlData* arg);
  long BulkRequest(Open& open, unsigned long request, UMockdevIoctlData* arg);
  long ReapRequest(Open& open, unsigned long request, UMockdevIoctlData* arg);

  long Control(uint8_t request_type, uint8_t request, uint16_t value, uint16_t index, uint8_t* data,
               uint16_t length);
  std::optional<Pipe> FindPipe(uint8_t address) const;
  // With `due`, a bulk transfer that completes then rather than when the call returns.
  long Transfer(TransferKind kind, uint8_t endpoint, uint8_t* data, uint32_t length,
                Pacer::Clock::time_point* due = nullptr);
  long Submit(Open& open, unsigned long request, UMockdevIoctlData* arg);
  long Discard(Open& open, unsigned long request, UMockdevIoctlData* arg);
  // Completes the pending URBs whose packet has come and the bulk URBs whose bytes are
  // through (all of them, once the device is gone).
  void Deliver(Open& open);
  long Reap(Open& open, UMockdevIoctlData* arg, bool may_wait);
  // Answers the reap at `ready` (monotonic microseconds) instead.
  void Hold(UMockdevIoctlClient* client, gint64 ready);
  // When a reap that found nothing is answered: when the next bulk URB completes, else
  // after an idle wait.
  gint64 HoldUntil(const Open& open) const;
  bool Stale(const Open& open) const;
  bool HasInterface(unsigned int number) const;
  bool ClaimedByAnother(const Open& open) const;

  std::shared_ptr<SimDevice> device_;
  uint8_t devnum_;
  UMockdevIoctlBase* handler_;
  std::mutex mutex_;
  std::map<UMockdevIoctlClient*, Open> opens_;
  std::set<GSource*> held_;                   // the waits of reaps answered later
  std::atomic<clockid_t> handler_clock_{-1};  // the CPU clock of the thread that answers
};

}  // namespace sim
