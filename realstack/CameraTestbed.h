// A umockdev testbed holding one bus: a root hub at 001/001 (so that /dev/bus/usb/001
// exists before anything watches it) and a camera at 001/002 served by a UsbfsAdapter.
// The camera can be plugged and unplugged while a program under the preload library runs.
#pragma once

#include <umockdev.h>

#include <memory>
#include <string>

#include "realstack/UsbfsAdapter.h"
#include "sim/SimCamera.h"

namespace realstack {

class CameraTestbed {
 public:
  explicit CameraTestbed(std::shared_ptr<sim::SimCamera> camera);
  ~CameraTestbed();

  CameraTestbed(const CameraTestbed&) = delete;
  CameraTestbed& operator=(const CameraTestbed&) = delete;

  // The handler is attached before the device appears, so no open can miss it.
  void Plug();
  // A remove uevent, then the device leaves; fds opened before answer ENODEV.
  void Unplug();
  bool Plugged() const { return !camera_path_.empty(); }

 private:
  std::shared_ptr<sim::SimCamera> camera_;
  UMockdevTestbed* testbed_;
  std::unique_ptr<UsbfsAdapter> adapter_;
  std::string hub_path_;
  std::string camera_path_;
};

}  // namespace realstack
