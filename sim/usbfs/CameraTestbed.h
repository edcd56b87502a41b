// A umockdev testbed holding one bus: a root hub at 001/001 (so that /dev/bus/usb/001
// exists before anything watches it) and a camera at 001/002, each served by a
// UsbfsAdapter. The camera can be plugged, unplugged and given its permissions while a
// program under the preload library runs.
#pragma once

#include <umockdev.h>

#include <memory>
#include <string>

#include "sim/SimCamera.h"
#include "sim/usbfs/UsbfsAdapter.h"

namespace sim {

class CameraTestbed {
 public:
  explicit CameraTestbed(std::shared_ptr<SimCamera> camera);
  ~CameraTestbed();

  CameraTestbed(const CameraTestbed&) = delete;
  CameraTestbed& operator=(const CameraTestbed&) = delete;

  // The camera appears; a locked node cannot be opened until Grant(), as when udev has
  // not yet given the user access.
  void Plug(bool locked = false);
  void Grant();
  // A remove uevent, then the device leaves; fds opened before answer ENODEV.
  void Unplug();
  bool Plugged() const { return !camera_.sysfs.empty(); }
  // The CPU seconds the camera's node has cost in answering, kernel and camera alike.
  double EmulatorCpuSeconds() const { return camera_.adapter->HandlerCpuSeconds(); }

 private:
  struct Served {
    std::shared_ptr<SimDevice> device;
    // Attached for the testbed's whole life: a handler may still be answering an old fd
    // when the device goes, and a replugged device is served by the same one.
    std::unique_ptr<UsbfsAdapter> adapter;
    std::string node;
    std::string sysfs;
    uint8_t devnum;
  };

  void Attach(Served& served);
  // Adds the device below `parent` (none: the bus itself) and makes its node.
  void Add(Served& served, const char* name, const std::string& parent, unsigned mode);
  std::string NodeFile(const Served& served) const;

  UMockdevTestbed* testbed_;
  Served hub_;
  Served camera_;
};

}  // namespace sim
