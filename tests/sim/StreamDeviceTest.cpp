#include "sim/StreamDevice.h"

#include <gtest/gtest.h>

#include <numeric>

#include "sim/SimPlatform.h"

namespace {

std::vector<uint8_t> Counting(size_t n) {
  std::vector<uint8_t> bytes(n);
  std::iota(bytes.begin(), bytes.end(), uint8_t(1));
  return bytes;
}

// Opens the node the way the device model does and selects its configuration.
std::unique_ptr<kit::RawUsbNode> OpenConfigured(sim::SimPlatform& platform,
                                                const std::string& path) {
  auto node = platform.Usb().Open(path);
  if (node && !node->SetConfiguration(0).Ok()) return nullptr;
  return node;
}

TEST(StreamDevice, PiecesFollowTheScheduleThenRunFree) {
  sim::SimPlatform platform;
  ASSERT_TRUE(sim::PlugStream(platform, "/dev/bus/usb/001/001", Counting(20), {3, 0, 5}));
  auto node = OpenConfigured(platform, "/dev/bus/usb/001/001");
  ASSERT_TRUE(node);

  std::vector<uint32_t> got;
  std::vector<uint8_t> all;
  for (int i = 0; i < 4; ++i) {
    uint8_t buffer[16] = {};
    uint32_t length = 16;
    ASSERT_TRUE(node->BulkTransfer(0, 0, buffer, &length).Ok());
    got.push_back(length);
    all.insert(all.end(), buffer, buffer + length);
  }
  EXPECT_EQ(got, (std::vector<uint32_t>{3, 0, 5, 12}));
  EXPECT_EQ(all, Counting(20));
}

TEST(StreamDevice, NeverMoreThanAskedAndFailsPastTheEnd) {
  sim::SimPlatform platform;
  auto stream = sim::PlugStream(platform, "/dev/bus/usb/001/001", Counting(5), {100});
  auto node = OpenConfigured(platform, "/dev/bus/usb/001/001");
  ASSERT_TRUE(node);
  uint8_t buffer[8];
  uint32_t length = 4;
  ASSERT_TRUE(node->BulkTransfer(0, 0, buffer, &length).Ok());
  EXPECT_EQ(length, 4u);
  length = 8;
  ASSERT_TRUE(node->BulkTransfer(0, 0, buffer, &length).Ok());
  EXPECT_EQ(length, 1u);
  EXPECT_EQ(buffer[0], 5);
  EXPECT_EQ(stream->Remaining(), 0u);
  length = 8;
  EXPECT_FALSE(node->BulkTransfer(0, 0, buffer, &length).Ok());
}

TEST(StreamDevice, OnlyEndpointZeroExists) {
  sim::SimPlatform platform;
  sim::PlugStream(platform, "/dev/bus/usb/001/001", Counting(5));
  auto node = OpenConfigured(platform, "/dev/bus/usb/001/001");
  ASSERT_TRUE(node);
  uint8_t buffer[8];
  uint32_t length = 8;
  EXPECT_FALSE(node->BulkTransfer(0, 1, buffer, &length).Ok());
  EXPECT_FALSE(node->BulkTransfer(1, 0, buffer, &length).Ok());
  uint8_t endpoint[7];
  ASSERT_TRUE(node->EndpointDescriptor(0, 0, 0, endpoint).Ok());
  EXPECT_EQ(endpoint[2], 0x81);
  EXPECT_EQ(endpoint[3] & 3, 2);
}

}  // namespace
