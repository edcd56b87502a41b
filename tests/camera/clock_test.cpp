// The clock commands: their bytes, the time read out of the reply, and replies that are not
// the clock's refused with the pipe left in step.
#include <gtest/gtest.h>

#include "camera/ixus_clock.h"
#include "tests/camera/download_support.h"
#include "tests/camera/listing_camera.h"
#include "tests/camera/thumbs_host.h"

namespace download_test {
namespace {

std::vector<uint8_t> Concat(std::vector<uint8_t> a, const std::vector<uint8_t>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

class Clock : public testing::Test {
 protected:
  void Scripted(std::vector<uint8_t> replies) {
    plugged.reset();
    plugged = std::make_unique<listing_test::PluggedDevice>(
        std::make_shared<listing_test::ScriptedDevice>(std::move(replies)));
  }
  std::vector<uint8_t> Commands(size_t i) const { return plugged->Commands().at(i).data; }

  listing_test::RecordingHost host;
  std::unique_ptr<listing_test::PluggedDevice> plugged;
};

const std::vector<uint8_t> kTime = {0, 0, 0, 0, 0x80, 0x43, 0x6D, 0x38};  // status 0, 0x386D4380

TEST_F(Clock, ReadBytesAndTime) {
  Scripted(FixedReply(0x60, 0x03, kTime));
  uint32_t seconds = 0;
  ASSERT_TRUE(ixus_getclock(plugged->Device(), host.CameraBuffer(), &seconds));
  EXPECT_EQ(seconds, 0x386D4380u);
  EXPECT_EQ(Commands(0), Block(16, 0x201, 0x03, 0x12));
  EXPECT_EQ(plugged->BulkRequests(), (std::vector<uint32_t>{0x60}));
}

TEST_F(Clock, SetBytesAndStatus) {
  Scripted(Concat(FixedReply(0x54, 0x04, {0, 0, 0, 0}), FixedReply(0x54, 0x04, {7, 0, 0, 2})));
  EXPECT_EQ(ixus_setclock(plugged->Device(), host.CameraBuffer(), 0x386D4380u), 0);
  EXPECT_EQ(ixus_setclock(plugged->Device(), host.CameraBuffer(), 1), 0x02000007);
  std::vector<uint8_t> expected = Block(28, 0x201, 0x04, 0x12);
  for (uint8_t byte : {0x80, 0x43, 0x6D, 0x38, 0, 0, 0, 0, 0, 0, 0, 0}) expected.push_back(byte);
  EXPECT_EQ(Commands(0), expected) << "the time, then eight zero bytes";
}

// Each reply that is not the clock's, whole and with status 0, is refused and said.
TEST_F(Clock, WrongRepliesAreRefusedAndThePipeKeptInStep) {
  struct Case {
    const char* name;
    std::vector<uint8_t> reply;
  };
  std::vector<uint8_t> short_reply = FixedReply(0x60, 0x03, kTime);
  short_reply.resize(0x50);
  const Case cases[] = {
      {"another command's", FixedReply(0x60, 0x01, kTime)},
      {"short", short_reply},
      {"a status other than 0", FixedReply(0x60, 0x03, {5, 0, 0, 2, 1, 2, 3, 4})},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Scripted(c.reply);
    uint32_t seconds = 99;
    testing::internal::CaptureStderr();
    EXPECT_FALSE(ixus_getclock(plugged->Device(), host.CameraBuffer(), &seconds));
    EXPECT_NE(testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(seconds, 99u) << "no time from a refused reply";
  }
  Scripted(Concat(FixedReply(0x54, 0x01, {}), FixedReply(0x60, 0x03, kTime)));
  testing::internal::CaptureStderr();
  EXPECT_EQ(ixus_setclock(plugged->Device(), host.CameraBuffer(), 1), -1);
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "Reply to command 1 where 4 was sent.\n"
            "Could not set the camera's clock (2).\n");
}

}  // namespace
}  // namespace download_test
