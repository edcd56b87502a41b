#include "sim/SimUsbDriver.h"

#include "sim/DeviceHandle.h"

namespace sim {

std::unique_ptr<kit::RawUsbNode> SimUsbDriver::Open(const std::string& path) {
  std::shared_ptr<SimDevice> device = bus_.Open(path);
  if (!device) return nullptr;
  return std::make_unique<DeviceHandle>(std::move(device));
}

}  // namespace sim
