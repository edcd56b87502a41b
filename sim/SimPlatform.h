// The platform of tests and the demo: a simulated tree and the raw driver over it.
#pragma once

#include "kit/Platform.h"
#include "sim/SimBus.h"
#include "sim/SimUsbDriver.h"

namespace sim {

class SimPlatform : public kit::Platform {
 public:
  SimPlatform() : driver_(bus_) {}

  kit::RawUsbDriver& Usb() override { return driver_; }
  kit::DeviceTree& Devices() override { return bus_; }
  SimBus& Bus() { return bus_; }

 private:
  SimBus bus_;
  SimUsbDriver driver_;
};

}  // namespace sim
