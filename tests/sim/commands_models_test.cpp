// What the camera is as each model of the table: its name and group, the handshake of an
// active camera, its clock, and disk figures that follow what it holds.
#include <gtest/gtest.h>

#include <ctime>

#include "models/CameraModels.h"
#include "tests/sim/commands_blocks.h"

namespace {

using simtest::CameraHost;
using simtest::Exchange;
using simtest::Little32;
using simtest::Noted;

const char* const kUploadPath = "D:\\DCIM\\112CANON\\IMG_1205.JPG";

std::vector<uint8_t> CameraCommand(uint8_t code, std::vector<uint8_t> payload = {}) {
  return simtest::CommandBlock(uint32_t(16 + payload.size()), code, 0x12, 0x201, simtest::kTag,
                               payload);
}

std::vector<uint8_t> SetClockCommand(uint32_t seconds) {
  std::vector<uint8_t> payload(12);
  for (int i = 0; i < 4; ++i) payload[size_t(i)] = uint8_t(seconds >> (8 * i));
  return CameraCommand(0x04, payload);
}

TEST(ModelCommands, EveryModelNamesItselfAndAnswersAsItsGroup) {
  for (const models::CameraModel& model : models::AllModels()) {
    SCOPED_TRACE(model.name);
    CameraHost host(model.product);
    std::vector<uint8_t> reply;
    ASSERT_TRUE(Exchange(host, simtest::IdentifyCommand(), 156, &reply));
    std::string name(reply.begin() + 92, reply.begin() + 124);
    EXPECT_EQ(name.substr(0, name.find('\0')), models::IdentificationText(model));
    bool second = model.group == models::Group::kSecond;
    for (auto [code, size] : {std::pair{0x1F, 0x384u}, std::pair{0x20, 0x54u}}) {
      host.Camera().ClearProblems();
      ASSERT_TRUE(host.Send(CameraCommand(uint8_t(code))));
      EXPECT_EQ(host.Read(size, &reply), second);
      if (second) {
        EXPECT_TRUE(reply.size() == size && Little32(reply, 80) == 0 && reply[68] == code);
      }
      EXPECT_TRUE(
          Noted(host.Camera(), second ? "which pictrove does not send" : "unknown command"));
      EXPECT_EQ(host.Camera().PendingReply(), 0u);
    }
  }
}

// A client finding the camera active reads 0x50 bytes instead of the echo; pictrove's own
// handshake keeps working in both states.
TEST(ModelCommands, AnActiveCameraAnswersTheReadInPlaceOfTheEcho) {
  CameraHost host;
  uint8_t answer[0x50] = {};
  uint16_t length = 0x50;
  ASSERT_TRUE(host.Handshake());
  EXPECT_FALSE(host.Node().ControlTransfer(0xC0, 0x04, 0x04, 0, &length, answer).Ok())
      << "not after a 'C'";
  uint8_t letter = 0;
  length = 1;
  ASSERT_TRUE(host.Node().ControlTransfer(0xC0, 0x0C, 0x55, 0, &length, &letter).Ok());
  EXPECT_EQ(letter, 'A');
  length = 0x50;
  ASSERT_TRUE(host.Node().ControlTransfer(0xC0, 0x04, 0x04, 0, &length, answer).Ok());
  EXPECT_EQ(length, 0x50);
  EXPECT_EQ(Little32(std::vector<uint8_t>(answer, answer + 0x50), 0x4C), 0x1400u);
  EXPECT_TRUE(Noted(host.Camera(), "handshake of an active camera"));
  std::vector<uint8_t> reply;
  EXPECT_TRUE(Exchange(host, simtest::PowerCommand(), 88, &reply));
  EXPECT_TRUE(host.Handshake()) << "the echo, from an active camera";
}

TEST(ModelCommands, TheClockIsSetAndRunsOn) {
  CameraHost host;
  std::vector<uint8_t> reply;
  ASSERT_TRUE(Exchange(host, SetClockCommand(946684800), 0x54, &reply));
  EXPECT_EQ(Little32(reply, 80), 0u);
  ASSERT_TRUE(Exchange(host, CameraCommand(0x03), 0x60, &reply));
  EXPECT_EQ(Little32(reply, 80), 0u);
  EXPECT_NEAR(double(Little32(reply, 84)), 946684800.0, 1.0);
  sim::CameraInfo info = host.Camera().Info();
  info.clock_ahead += 90;  // as if 90 s had gone by
  host.Camera().SetInfo(info);
  ASSERT_TRUE(Exchange(host, CameraCommand(0x03), 0x60, &reply));
  EXPECT_NEAR(double(Little32(reply, 84)), 946684890.0, 1.0);
  EXPECT_TRUE(host.Camera().Problems().empty());

  std::vector<uint8_t> padded = SetClockCommand(1);
  padded[90] = 1;
  ASSERT_TRUE(host.Send(padded));
  EXPECT_TRUE(simtest::Silent(host, "malformed set clock payload"));
}

// Announcement and data block, the block's answer in `reply`.
bool UploadChunk(CameraHost& host, uint32_t offset, size_t n, std::vector<uint8_t>* reply) {
  std::vector<uint8_t> block =
      simtest::UploadBlock(kUploadPath, offset, std::vector<uint8_t>(n, 7));
  return host.Send(simtest::Announcement(uint32_t(block.size()))) && host.Read(64, reply) &&
         simtest::SendBulk(host, block) && host.Read(92, reply) && reply->size() == 92;
}

TEST(ModelCommands, FreeSpaceFollowsWhatTheCardHolds) {
  CameraHost host;
  sim::CameraInfo info = host.Camera().Info();
  info.disk_free = 1000;
  host.Camera().SetInfo(info);
  std::vector<uint8_t> reply;
  ASSERT_TRUE(UploadChunk(host, 0, 768, &reply));
  EXPECT_EQ(Little32(reply, 80), 0u);
  EXPECT_EQ(host.Camera().Info().disk_free, 232u);
  ASSERT_TRUE(UploadChunk(host, 768, 300, &reply));
  EXPECT_NE(Little32(reply, 80), 0u) << "no room for the chunk";
  EXPECT_EQ(host.Camera().FindFile(kUploadPath)->Size(), 768u);
  EXPECT_EQ(host.Camera().Info().disk_free, 232u);
  ASSERT_TRUE(Exchange(host, simtest::DeleteCommand(kUploadPath), 84, &reply));
  EXPECT_EQ(host.Camera().Info().disk_free, 1000u);
  EXPECT_TRUE(host.Camera().Problems().empty());
}

}  // namespace
