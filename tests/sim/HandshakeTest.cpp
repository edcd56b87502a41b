// The handshake as cameras of the family answer it, straight on the simulated device.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "sim/SimCamera.h"

namespace {

// A camera fresh from a plug, its configuration selected.
struct PluggedCamera {
  sim::SimCamera camera;
  PluggedCamera() { camera.SetConfiguration(0); }

  uint8_t StatusLetter() {
    uint8_t letter = 0;
    uint16_t length = 1;
    EXPECT_TRUE(camera.ControlTransfer(0xC0, 0x0C, 0x55, 0, &length, &letter).Ok());
    return letter;
  }
  std::vector<uint8_t> Challenge() {
    std::vector<uint8_t> answer(88);
    uint16_t length = 88;
    EXPECT_TRUE(camera.ControlTransfer(0xC0, 0x04, 0x01, 0, &length, answer.data()).Ok());
    return answer;
  }
  bool Echo(std::vector<uint8_t> echo) {
    uint16_t length = uint16_t(echo.size());
    return camera.ControlTransfer(0x40, 0x04, 0x11, 0, &length, echo.data()).Ok();
  }
  // The interrupt read's bytes; none when it fails.
  std::optional<std::vector<uint8_t>> Interrupt() {
    std::vector<uint8_t> packet(64);
    uint32_t length = 64;
    if (!camera.InterruptTransfer(0, 2, packet.data(), &length).Ok()) return std::nullopt;
    packet.resize(length);
    return packet;
  }
  void Replug() {
    camera.Unplug();
    camera.Connect();
    camera.SetConfiguration(0);
  }
};

TEST(SimHandshake, StatusLetterTellsAWokenCameraFromAnActiveOne) {
  PluggedCamera plugged;
  EXPECT_EQ(plugged.StatusLetter(), 'C');
  EXPECT_EQ(plugged.StatusLetter(), 'A');
  EXPECT_EQ(plugged.StatusLetter(), 'A');
  plugged.Replug();
  EXPECT_EQ(plugged.StatusLetter(), 'C');
  std::vector<sim::TransferRecord> log = plugged.camera.Transfers();
  ASSERT_EQ(log.size(), 4u);
  EXPECT_EQ(log[0].data, std::vector<uint8_t>{'C'});
  EXPECT_EQ(log[1].data, std::vector<uint8_t>{'A'});
}

TEST(SimHandshake, ChallengeStatesTheLargestTransfer) {
  PluggedCamera plugged;
  for (int round = 0; round < 2; ++round) {
    plugged.StatusLetter();
    std::vector<uint8_t> answer = plugged.Challenge();
    EXPECT_EQ(std::vector<uint8_t>(answer.begin() + 0x4C, answer.begin() + 0x50),
              (std::vector<uint8_t>{0x00, 0x14, 0x00, 0x00}))
        << round;
  }
}

enum class Form { kAlone, kBlock, kBlockWrongWord, kBlockDirty, kBlockShort, kAloneWrong };

std::vector<uint8_t> EchoOf(const std::vector<uint8_t>& answer, Form form) {
  std::vector<uint8_t> echo(answer.begin() + 72, answer.end());
  if (form == Form::kAloneWrong) echo[3] ^= 1;
  if (form == Form::kAlone || form == Form::kAloneWrong) return echo;
  std::vector<uint8_t> block(64);
  block[0] = form == Form::kBlockWrongWord ? 0x11 : 0x10;
  if (form == Form::kBlockDirty) block[40] = 1;
  block.insert(block.end(), echo.begin(), echo.end());
  if (form == Form::kBlockShort) block.pop_back();
  return block;
}

TEST(SimHandshake, EchoIsTakenInBothFormsOnlyPictrovesGoesUnnoted) {
  struct Case {
    Form form;
    bool matched;
    const char* noted;  // none: the problem log stays empty
  };
  const Case cases[] = {
      {Form::kAlone, true, nullptr},
      {Form::kBlock, true, "handshake echo sent as an 80-byte block"},
      {Form::kBlockWrongWord, false, "does not match"},
      {Form::kBlockDirty, false, "does not match"},
      {Form::kBlockShort, false, "does not match"},
      {Form::kAloneWrong, false, "does not match"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(int(c.form));
    PluggedCamera plugged;
    plugged.StatusLetter();
    ASSERT_TRUE(plugged.Echo(EchoOf(plugged.Challenge(), c.form)));
    EXPECT_EQ(plugged.camera.EchoMatched(), c.matched);
    EXPECT_EQ(plugged.camera.Handshakes(), c.matched ? 1 : 0);
    EXPECT_EQ(plugged.camera.PendingReply(), c.matched ? 68u : 0u);
    std::vector<std::string> problems = plugged.camera.Problems();
    if (c.noted == nullptr) {
      EXPECT_TRUE(problems.empty());
    } else {
      ASSERT_EQ(problems.size(), 1u);
      EXPECT_NE(problems[0].find(c.noted), std::string::npos) << problems[0];
    }
  }
}

TEST(SimHandshake, OneInterruptPacketFollowsEachCompletedHandshake) {
  PluggedCamera plugged;
  const uint8_t pipe = sim::SimCamera::kInterruptPipe;
  EXPECT_FALSE(plugged.camera.InterruptPacketWaiting(pipe));
  EXPECT_FALSE(plugged.Interrupt()) << "nothing to tell before a handshake";
  plugged.StatusLetter();
  ASSERT_TRUE(plugged.Echo(EchoOf(plugged.Challenge(), Form::kAloneWrong)));
  EXPECT_FALSE(plugged.camera.InterruptPacketWaiting(pipe)) << "a failed handshake tells nothing";

  plugged.StatusLetter();
  ASSERT_TRUE(plugged.Echo(EchoOf(plugged.Challenge(), Form::kAlone)));
  EXPECT_TRUE(plugged.camera.InterruptPacketWaiting(pipe));
  EXPECT_FALSE(plugged.camera.InterruptPacketWaiting(0x81));
  EXPECT_EQ(plugged.Interrupt(), std::vector<uint8_t>(16, 0));
  EXPECT_FALSE(plugged.Interrupt()) << "one packet only";

  plugged.StatusLetter();
  ASSERT_TRUE(plugged.Echo(EchoOf(plugged.Challenge(), Form::kAlone)));
  plugged.Replug();
  EXPECT_FALSE(plugged.camera.InterruptPacketWaiting(pipe)) << "a plug clears it";
  std::vector<sim::TransferRecord> log = plugged.camera.Transfers();
  size_t interrupts = 0;
  for (const sim::TransferRecord& record : log)
    if (record.kind == sim::TransferKind::kInterrupt) {
      ++interrupts;
      EXPECT_EQ(record.endpoint, pipe);
    }
  EXPECT_EQ(interrupts, 3u);
}

}  // namespace
