#include "kit/host/UsbAddresses.h"

#include <gtest/gtest.h>

#include "tests/kit_host/DescriptorBlobs.h"

namespace {

TEST(UsbAddresses, PositionsMapToTheDescriptorsOwnValues) {
  kit::UsbfsDescriptors camera(hosttest::CameraBlob());
  EXPECT_EQ(kit::ConfigurationValue(camera, 0), 1);
  EXPECT_EQ(kit::InterfaceNumber(camera, 0, 0), 0);
  EXPECT_EQ(kit::EndpointAddress(camera, 0, 0, 1), 0x02);
  EXPECT_EQ(kit::EndpointAddress(camera, 0, 0, 2), 0x83);
  kit::UsbfsDescriptors two(hosttest::TwoConfigurations());
  EXPECT_EQ(kit::ConfigurationValue(two, 1), 9);
  EXPECT_EQ(kit::InterfaceNumber(two, 0, 0), 1);
  EXPECT_EQ(kit::InterfaceNumber(two, 1, 0), 3);
  EXPECT_EQ(kit::EndpointAddress(two, 1, 0, 0), 0x82);
}

TEST(UsbAddresses, PositionsOutsideTheDescriptorsMapToNothing) {
  kit::UsbfsDescriptors camera(hosttest::CameraBlob());
  EXPECT_EQ(kit::ConfigurationValue(camera, 1), std::nullopt);
  EXPECT_EQ(kit::InterfaceNumber(camera, 0, 1), std::nullopt);
  EXPECT_EQ(kit::EndpointAddress(camera, 0, 0, 3), std::nullopt);
  EXPECT_EQ(kit::EndpointAddress(camera, 1, 0, 0), std::nullopt);
  EXPECT_EQ(kit::ConfigurationValue(kit::UsbfsDescriptors({}), 0), std::nullopt);
}

}  // namespace
