// The camera information commands: their bytes, what they read out of the replies into
// the camera facts, and the facts left as they were when a command fails.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "camera/ixus_info.h"
#include "tests/camera/download_support.h"
#include "tests/camera/listing_camera.h"
#include "tests/camera/thumbs_host.h"

namespace download_test {
namespace {

std::vector<uint8_t> Bytes(const std::string& text) {
  return {text.begin(), text.end()};
}

// An identification reply: the model from byte 92, the owner's bytes from 124.
std::vector<uint8_t> Identification(const std::vector<uint8_t>& model,
                                    const std::vector<uint8_t>& owner) {
  std::vector<uint8_t> reply(156);
  reply[68] = 0x01;  // the command it answers
  std::copy(model.begin(), model.end(), reply.begin() + 92);
  std::copy(owner.begin(), owner.end(), reply.begin() + 124);
  return reply;
}

// Takes every command but has no input pipe to answer on.
class PipelessDevice : public sim::SimDevice {
 public:
  PipelessDevice() : SimDevice(sim::MakeEndpointlessSet(0x04A9, 0x3049)) {}

 protected:
  kit::RawReply HandleControl(const sim::ControlSetup&, uint8_t*, uint32_t*) override { return {}; }
};

class Information : public testing::Test {
 protected:
  void SetUp() override {
    strcpy(host.facts.cameramodel, "before");
    strcpy(host.facts.ownername, "before");
    host.facts.disktotal = 11;
    host.facts.diskfree = 7;
    host.facts.powerflags = 2;
  }
  void Scripted(std::vector<uint8_t> replies) {
    plugged.reset();
    plugged = std::make_unique<listing_test::PluggedDevice>(
        std::make_shared<listing_test::ScriptedDevice>(std::move(replies)));
  }
  // Runs the command with standard error captured into `printed`.
  template <typename Command>
  bool Run(Command command) {
    testing::internal::CaptureStderr();
    bool result = command(plugged->Device(), host.CameraBuffer());
    printed = testing::internal::GetCapturedStderr();
    return result;
  }
  bool Identify() { return Run(ixus_identify); }
  bool Power() { return Run(ixus_powerinfo); }
  bool Disk(const char* drive) {
    return Run([&](USBDevice* camera, unsigned char* buffer) {
      return ixus_diskinfo(camera, buffer, drive);
    });
  }
  bool Owner(const char* name) {
    return Run([&](USBDevice* camera, unsigned char* buffer) {
      return ixus_setowner(camera, buffer, name);
    });
  }
  std::vector<uint8_t> OnlyCommand() const {
    std::vector<sim::TransferRecord> commands = plugged->Commands();
    return commands.size() == 1 ? commands[0].data : std::vector<uint8_t>{};
  }
  // A camera whose `ahead`-th transfer from now fails.
  void FailingTransfer(uint64_t ahead) {
    auto camera = std::make_shared<sim::SimCamera>();
    plugged.reset();
    plugged = std::make_unique<listing_test::PluggedDevice>(camera);
    camera->FailTransfer(plugged->Next(ahead));
  }
  void NoInputPipe() {
    plugged.reset();
    plugged = std::make_unique<listing_test::PluggedDevice>(std::make_shared<PipelessDevice>());
  }
  void ExpectFactsUnchanged() {
    EXPECT_STREQ(host.facts.cameramodel, "before");
    EXPECT_STREQ(host.facts.ownername, "before");
    EXPECT_EQ(host.facts.disktotal, 11u);
    EXPECT_EQ(host.facts.diskfree, 7u);
    EXPECT_EQ(host.facts.powerflags, 2);
  }

  listing_test::RecordingHost host;
  std::unique_ptr<listing_test::PluggedDevice> plugged;
  std::string printed;
};

TEST_F(Information, IdentificationBytesAndFields) {
  Scripted(Identification(Bytes("Canon PowerShot S10"), Bytes("Anna")));
  ASSERT_TRUE(Identify());
  EXPECT_EQ(OnlyCommand(), Block(16, 0x201, 0x01, 0x12));
  EXPECT_EQ(plugged->BulkRequests(), (std::vector<uint32_t>{156}));
  EXPECT_STREQ(host.facts.cameramodel, "Canon PowerShot S10");
  EXPECT_STREQ(host.facts.ownername, "Anna");
  EXPECT_EQ(printed, "");
}

TEST_F(Information, OwnerOfZeroBytesIsEmpty) {
  Scripted(Identification(Bytes("IXUS"), {}));
  ASSERT_TRUE(Identify());
  EXPECT_STREQ(host.facts.ownername, "");
}

TEST_F(Information, IdentificationFailures) {
  FailingTransfer(1);
  EXPECT_FALSE(Identify());
  EXPECT_EQ(printed, "Could not get camera id (1).\n");
  FailingTransfer(2);
  EXPECT_FALSE(Identify());
  EXPECT_EQ(printed, "Could not get camera id (2).\n");
  NoInputPipe();
  EXPECT_FALSE(Identify());
  EXPECT_EQ(printed, "Could not get camera id (3).\n");
  // The command has gone out all the same.
  EXPECT_EQ(plugged->Commands().size(), 1u);
  ExpectFactsUnchanged();
}

TEST_F(Information, OwnerMullerBytes) {
  Scripted(FixedReply(84, 0x05, {}));
  ASSERT_TRUE(Owner("M\xC3\xBCller"));
  std::vector<uint8_t> expected = Block(23, 0x201, 0x05, 0x12);
  expected.insert(expected.end(), {'M', 0xFC, 'l', 'l', 'e', 'r', 0});
  EXPECT_EQ(OnlyCommand(), expected);
  EXPECT_EQ(OnlyCommand().size(), 87u);
  EXPECT_EQ(plugged->BulkRequests(), (std::vector<uint32_t>{84}));
}

TEST_F(Information, LongOwnerIsCutTo31Letters) {
  Scripted(FixedReply(84, 0x05, {}));
  ASSERT_TRUE(Owner(std::string(40, 'a').c_str()));
  std::vector<uint8_t> expected = Block(48, 0x201, 0x05, 0x12);
  expected.insert(expected.end(), 31, 'a');
  expected.push_back(0);
  EXPECT_EQ(OnlyCommand(), expected);
}

TEST_F(Information, OwnerFailures) {
  FailingTransfer(1);
  EXPECT_FALSE(Owner("Anna"));
  EXPECT_EQ(printed, "Error in setowner.\n");
  FailingTransfer(2);
  EXPECT_FALSE(Owner("Anna"));
  EXPECT_EQ(printed, "Error in setowner (2).");
  NoInputPipe();
  EXPECT_FALSE(Owner("Anna"));
  EXPECT_EQ(printed, "");
  EXPECT_TRUE(plugged->Transfers().empty());
}

TEST_F(Information, DiskBytesAndFigures) {
  Scripted(FixedReply(92, 0x09, {0, 0, 0, 0, 0x00, 0x00, 0x00, 0x04, 0x00, 0x00, 0x80, 0x01}));
  ASSERT_TRUE(Disk("D:"));
  std::vector<uint8_t> expected = Block(20, 0x201, 0x09, 0x11);
  expected.insert(expected.end(), {'D', ':', '\\', 0});
  EXPECT_EQ(OnlyCommand(), expected);
  EXPECT_EQ(OnlyCommand().size(), 84u);
  EXPECT_EQ(plugged->BulkRequests(), (std::vector<uint32_t>{92}));
  EXPECT_EQ(host.facts.disktotal, 67108864u);
  EXPECT_EQ(host.facts.diskfree, 25165824u);
  EXPECT_EQ(printed, "------- diskinfo pre bulktran.\n------- diskinfo post bulktran.\n");
}

TEST_F(Information, DiskOfAnotherDrive) {
  Scripted(FixedReply(92, 0x09, {}));
  ASSERT_TRUE(Disk("CF1:"));
  std::vector<uint8_t> command = OnlyCommand();
  ASSERT_EQ(command.size(), 86u);
  EXPECT_EQ(command[0], 22);
  EXPECT_EQ(std::vector<uint8_t>(command.begin() + 80, command.end()), Bytes({"CF1:\\\0", 6}));
}

TEST_F(Information, DiskFailures) {
  FailingTransfer(1);
  EXPECT_FALSE(Disk("D:"));
  EXPECT_EQ(printed, "Error in diskinfo.\n");
  FailingTransfer(2);
  EXPECT_FALSE(Disk("D:"));
  EXPECT_EQ(printed,
            "------- diskinfo pre bulktran.\n------- diskinfo post bulktran.\nError in diskinfo "
            "(2).\n");
  NoInputPipe();
  EXPECT_FALSE(Disk("D:"));
  EXPECT_EQ(printed, "");
  EXPECT_TRUE(plugged->Transfers().empty());
  ExpectFactsUnchanged();
}

TEST_F(Information, DriveTooLongForTheBufferIsNotSent) {
  Scripted(FixedReply(92, 0x09, {}));
  std::string drive(5200, 'D');
  EXPECT_FALSE(Disk(drive.c_str()));
  EXPECT_EQ(printed, "Error in diskinfo.\n");
  EXPECT_TRUE(plugged->Transfers().empty());
}

TEST_F(Information, PowerFlags) {
  struct Case {
    uint8_t state, source;
    uint16_t flags;
  };
  for (Case c : {Case{4, 0x10, 3}, Case{6, 0x30, 0}, Case{4, 0, 1}, Case{0, 0x10, 2}}) {
    Scripted(FixedReply(88, 0x0A, {0, 0, 0, 0, c.state, 0, 0, c.source}));
    ASSERT_TRUE(Power());
    EXPECT_EQ(host.facts.powerflags, c.flags) << int(c.state) << " " << int(c.source);
  }
  EXPECT_EQ(OnlyCommand(), Block(16, 0x201, 0x0A, 0x12));
  EXPECT_EQ(plugged->BulkRequests(), (std::vector<uint32_t>{88}));
}

TEST_F(Information, PowerFailures) {
  FailingTransfer(1);
  EXPECT_FALSE(Power());
  EXPECT_EQ(printed, "Error in powerinfo.\n");
  FailingTransfer(2);
  EXPECT_FALSE(Power());
  EXPECT_EQ(printed, "Error in powerinfo (2).\n");
  NoInputPipe();
  EXPECT_FALSE(Power());
  EXPECT_EQ(printed, "");
  ExpectFactsUnchanged();
}

}  // namespace
}  // namespace download_test
