// The raw driver over the simulated tree: opens the devices plugged into a SimBus.
#pragma once

#include "kit/RawUsb.h"
#include "sim/SimBus.h"

namespace sim {

class SimUsbDriver : public kit::RawUsbDriver {
 public:
  explicit SimUsbDriver(SimBus& bus) : bus_(bus) {}

  // None for directories, files, refusing nodes, unknown paths and gone devices.
  std::unique_ptr<kit::RawUsbNode> Open(const std::string& path) override;

 private:
  SimBus& bus_;
};

}  // namespace sim
