#include "kit/Platform.h"
#include "kit/host/HostDeviceTree.h"
#include "kit/host/HostUsbDriver.h"

namespace kit {

namespace {

class HostPlatform : public Platform {
 public:
  RawUsbDriver& Usb() override { return usb_; }
  DeviceTree& Devices() override { return devices_; }

 private:
  HostUsbDriver usb_;
  HostDeviceTree devices_;
};

}  // namespace

std::shared_ptr<Platform> MakeHostPlatform() {
  return std::make_shared<HostPlatform>();
}

}  // namespace kit
