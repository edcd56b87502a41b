#include <gtest/gtest.h>

#include "tests/sim/commands_blocks.h"

namespace {

using simtest::CameraHost;
using simtest::Exchange;
using simtest::Little32;
using simtest::Silent;

std::string Field(const std::vector<uint8_t>& reply, size_t at) {
  return std::string(reply.begin() + at, reply.begin() + at + 32);
}

std::string Padded(const std::string& text) {
  return text + std::string(32 - text.size(), '\0');
}

TEST(InfoCommands, IdentificationCarriesModelAndOwnerInTheirFields) {
  CameraHost host;
  sim::CameraInfo info;
  info.model = "Canon PowerShot S100";
  info.owner = "M\xFCller";
  host.Camera().SetInfo(info);
  std::vector<uint8_t> reply;
  ASSERT_TRUE(Exchange(host, simtest::IdentifyCommand(), 156, &reply));
  EXPECT_EQ(Field(reply, 92), Padded("Canon PowerShot S100"));
  EXPECT_EQ(Field(reply, 124), Padded("M\xFCller")) << "Latin-1, as kept";
  EXPECT_EQ(reply[68], 0x01);
  EXPECT_EQ(reply[71], 0x12);
  EXPECT_EQ(host.Camera().PendingReply(), 0u);
  EXPECT_TRUE(host.Camera().Problems().empty());
}

TEST(InfoCommands, AnOwnerOf32BytesFillsItsFieldWithoutAZero) {
  CameraHost host;
  sim::CameraInfo info;
  info.owner = std::string(31, 'a') + "\xE9";
  info.model = std::string(40, 'M');
  host.Camera().SetInfo(info);
  std::vector<uint8_t> reply;
  ASSERT_TRUE(Exchange(host, simtest::IdentifyCommand(), 156, &reply));
  EXPECT_EQ(Field(reply, 124), info.owner);
  EXPECT_EQ(Field(reply, 92), std::string(32, 'M')) << "cut to its field, not into the owner's";
  info.owner.clear();
  host.Camera().SetInfo(info);
  ASSERT_TRUE(Exchange(host, simtest::IdentifyCommand(), 156, &reply));
  EXPECT_EQ(Field(reply, 124), std::string(32, '\0'));
}

TEST(InfoCommands, SetOwnerNameKeepsTheBytesItWasSent) {
  CameraHost host;
  std::vector<uint8_t> command = simtest::SetOwnerCommand("M\xFCller");
  EXPECT_EQ(command.size(), 87u);
  EXPECT_EQ(Little32(command, 0), 23u);
  std::vector<uint8_t> reply;
  ASSERT_TRUE(Exchange(host, command, 84, &reply));
  EXPECT_EQ(reply[68], 0x05);
  EXPECT_EQ(host.Camera().Info().owner, "M\xFCller");
  ASSERT_TRUE(Exchange(host, simtest::IdentifyCommand(), 156, &reply));
  EXPECT_EQ(Field(reply, 124), Padded("M\xFCller"));

  ASSERT_TRUE(Exchange(host, simtest::SetOwnerCommand(std::string(32, 'x')), 84, &reply));
  EXPECT_EQ(host.Camera().Info().owner, std::string(32, 'x')) << "a full field";
  ASSERT_TRUE(Exchange(host, simtest::SetOwnerCommand(""), 84, &reply));
  EXPECT_EQ(host.Camera().Info().owner, "");
  EXPECT_TRUE(host.Camera().Problems().empty());
}

TEST(InfoCommands, AnOwnerNameTheCameraCannotKeepIsRefused) {
  CameraHost host;
  sim::CameraInfo info;
  info.owner = "Old";
  host.Camera().SetInfo(info);
  ASSERT_TRUE(host.Send(simtest::SetOwnerCommand(std::string(33, 'x'))));
  EXPECT_TRUE(Silent(host, "malformed set owner name payload"));
  std::vector<uint8_t> no_end = simtest::SetOwnerCommand("Name");
  no_end.back() = 'e';
  ASSERT_TRUE(host.Send(no_end));
  EXPECT_TRUE(Silent(host, "malformed set owner name payload"));
  ASSERT_TRUE(host.Send(simtest::SetOwnerCommand(std::string("Na\0me", 5))));
  EXPECT_TRUE(Silent(host, "malformed set owner name payload"));
  EXPECT_EQ(host.Camera().Info().owner, "Old");
}

TEST(InfoCommands, DiskInformationGivesTotalAndFreeLittleEndian) {
  CameraHost host;
  sim::CameraInfo info;
  info.disk_total = 0x04000000;
  info.disk_free = 0x01800000;
  host.Camera().SetInfo(info);
  std::vector<uint8_t> command = simtest::DiskInfoCommand("D:");
  ASSERT_EQ(command.size(), 84u);
  EXPECT_EQ(Little32(command, 0), 20u);
  std::vector<uint8_t> reply;
  ASSERT_TRUE(Exchange(host, command, 92, &reply));
  EXPECT_EQ(std::vector<uint8_t>(reply.begin() + 84, reply.end()),
            (std::vector<uint8_t>{0, 0, 0, 4, 0, 0, 0x80, 1}));
  EXPECT_EQ(reply[68], 0x09);
  EXPECT_EQ(reply[71], 0x11);

  host.Camera().SetDriveName("CF0");
  ASSERT_TRUE(Exchange(host, simtest::DiskInfoCommand("CF0"), 92, &reply));
  EXPECT_EQ(Little32(reply, 88), 0x01800000u);
  EXPECT_TRUE(host.Camera().Problems().empty());
}

TEST(InfoCommands, DiskInformationForAnotherDriveFails) {
  CameraHost host;
  ASSERT_TRUE(host.Send(simtest::DiskInfoCommand("E:")));
  EXPECT_TRUE(Silent(host, "\"E:\""));
  std::vector<uint8_t> no_backslash = simtest::DiskInfoCommand("D:");
  no_backslash[82] = 0;  // "D:" and two NULs
  ASSERT_TRUE(host.Send(no_backslash));
  EXPECT_TRUE(Silent(host, "malformed disk information payload"));
  std::vector<uint8_t> wrong_request = simtest::DiskInfoCommand("D:");
  wrong_request[4] = 0x02;
  ASSERT_TRUE(host.Send(wrong_request));
  EXPECT_TRUE(Silent(host, "disk information command with the wrong request word"));
}

TEST(InfoCommands, PowerInformationTellsStateAndSource) {
  struct Case {
    bool critical;
    bool adaptor;
    uint8_t state;
    uint8_t source;
  };
  for (Case c : {Case{false, false, 6, 0x30}, Case{true, true, 4, 0x10}, Case{true, false, 4, 0x30},
                 Case{false, true, 6, 0x10}}) {
    CameraHost host;
    sim::CameraInfo info;
    info.power_critical = c.critical;
    info.on_adaptor = c.adaptor;
    host.Camera().SetInfo(info);
    std::vector<uint8_t> reply;
    ASSERT_TRUE(Exchange(host, simtest::PowerCommand(), 88, &reply));
    EXPECT_EQ(reply[84], c.state) << c.critical;
    EXPECT_EQ(reply[87], c.source) << c.adaptor;
    EXPECT_EQ(reply[68], 0x0A);
    EXPECT_EQ(reply[71], 0x12);
  }
}

TEST(InfoCommands, ReadingCommandsTakeNoPayload) {
  struct Case {
    std::vector<uint8_t> command;
    const char* name;
  };
  for (Case c : {Case{simtest::IdentifyCommand(), "camera identification"},
                 Case{simtest::PowerCommand(), "power information"}}) {
    CameraHost host;
    std::vector<uint8_t> command = c.command;
    command.push_back(0);
    command[0] = command[72] = 17;
    ASSERT_TRUE(host.Send(command));
    EXPECT_TRUE(Silent(host, std::string(c.name) + " command with a payload (length word 17)"));
    command = c.command;
    command[4] = 0x02;
    ASSERT_TRUE(host.Send(command));
    EXPECT_TRUE(Silent(host, std::string(c.name) + " command with the wrong request word"));
  }
}

}  // namespace
