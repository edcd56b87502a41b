// The clock commands' bytes, the time read out of the reply, and a reply to another command
// refused.
#include <gtest/gtest.h>

#include "camera/ixus_clock.h"
#include "tests/camera/download_support.h"
#include "tests/camera/listing_camera.h"
#include "tests/camera/thumbs_host.h"

namespace download_test {
namespace {

TEST(Clock, BytesTimeAndStatus) {
  listing_test::RecordingHost host;
  const std::vector<uint8_t> time = {0, 0, 0, 0, 0x80, 0x43, 0x6D, 0x38};  // status 0, then it
  std::vector<uint8_t> replies = FixedReply(0x60, 0x03, time);
  for (auto reply : {FixedReply(0x54, 0x04, {7, 0, 0, 2}), FixedReply(0x60, 0x01, time)})
    replies.insert(replies.end(), reply.begin(), reply.end());
  listing_test::PluggedDevice plugged(std::make_shared<listing_test::ScriptedDevice>(replies));
  uint32_t seconds = 0;
  ASSERT_TRUE(ixus_getclock(plugged.Device(), host.CameraBuffer(), &seconds));
  EXPECT_EQ(seconds, 0x386D4380u);
  EXPECT_EQ(ixus_setclock(plugged.Device(), host.CameraBuffer(), 0x386D4380u), 0x02000007);
  testing::internal::CaptureStderr();
  EXPECT_FALSE(ixus_getclock(plugged.Device(), host.CameraBuffer(), &seconds));
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "Reply to command 1 where 3 was sent.\n"
            "Could not read the camera's clock (2).\n");
  std::vector<uint8_t> set = Block(28, 0x201, 0x04, 0x12);
  for (uint8_t byte : {0x80, 0x43, 0x6D, 0x38, 0, 0, 0, 0, 0, 0, 0, 0}) set.push_back(byte);
  std::vector<sim::TransferRecord> commands = plugged.Commands();
  ASSERT_EQ(commands.size(), 3u);
  EXPECT_EQ(commands[0].data, Block(16, 0x201, 0x03, 0x12));
  EXPECT_EQ(commands[1].data, set) << "the time, then eight zero bytes";
  // After the wrong reply the pipe is read until nothing is left.
  EXPECT_EQ(plugged.BulkRequests(), (std::vector<uint32_t>{0x60, 0x54, 0x60, 4096}));
}

}  // namespace
}  // namespace download_test
