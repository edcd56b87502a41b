// Installs a fresh simulated platform for each test and hands out its bus.
#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "kit/Platform.h"
#include "sim/Descriptors.h"
#include "sim/SimDevice.h"
#include "sim/SimPlatform.h"

namespace usbtest {

class SimulatedBus : public testing::Test {
 protected:
  void SetUp() override {
    platform_ = std::make_shared<sim::SimPlatform>();
    kit::InstallPlatform(platform_);
  }
  void TearDown() override { kit::InstallPlatform(nullptr); }

  sim::SimBus& Bus() { return platform_->Bus(); }

  // A device of one configuration whose interface 0 holds a bulk IN, a bulk OUT and an
  // interrupt IN endpoint.
  static std::shared_ptr<sim::SimDevice> Gadget(uint16_t vendor = 0x1234,
                                                uint16_t product = 0x5678) {
    return std::make_shared<sim::SimDevice>(Set(vendor, product));
  }
  static sim::DescriptorSet Set(uint16_t vendor = 0x1234, uint16_t product = 0x5678) {
    return sim::MakeDeviceSet(vendor, product,
                              {sim::MakeEndpointDescriptor(0x81, sim::kBulk),
                               sim::MakeEndpointDescriptor(0x02, sim::kBulk),
                               sim::MakeEndpointDescriptor(0x83, sim::kInterrupt)},
                              u"Maker", u"Gadget");
  }

  std::shared_ptr<sim::SimPlatform> platform_;
};

}  // namespace usbtest
