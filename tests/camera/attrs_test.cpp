// The set-attributes and delete commands: their bytes on the wire, the path split in two,
// the replies, the failures, and the paths refused without a transfer.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "camera/ixus_attrs.h"
#include "tests/camera/download_support.h"
#include "tests/camera/listing_camera.h"
#include "tests/camera/thumbs_host.h"

namespace download_test {
namespace {

constexpr char kPath[] = "D:\\DCIM\\112CANON\\IMG_1205.JPG";

std::vector<uint8_t> Bytes(const std::string& text) {
  return {text.begin(), text.end()};
}

// The folder, a zero byte, the name, a zero byte.
std::vector<uint8_t> SplitPath() {
  std::vector<uint8_t> bytes = Bytes("D:\\DCIM\\112CANON");
  bytes.push_back(0);
  std::vector<uint8_t> name = Bytes("IMG_1205.JPG");
  bytes.insert(bytes.end(), name.begin(), name.end());
  bytes.push_back(0);
  return bytes;
}

constexpr uint8_t kSetAttr = 0x0E;
constexpr uint8_t kDelete = 0x0D;

std::vector<uint8_t> StatusReply(uint8_t code, uint32_t status) {
  return FixedReply(
      84, code,
      {uint8_t(status), uint8_t(status >> 8), uint8_t(status >> 16), uint8_t(status >> 24)});
}

class PictureCommands : public testing::Test {
 protected:
  // A device that takes every command and answers with `replies`.
  void Scripted(std::vector<uint8_t> replies, std::vector<uint32_t> pieces = {}) {
    plugged.reset();
    plugged = std::make_unique<listing_test::PluggedDevice>(
        std::make_shared<listing_test::ScriptedDevice>(std::move(replies), std::move(pieces)));
  }
  bool SetAttr(const char* path, unsigned char attributes) {
    testing::internal::CaptureStderr();
    bool result = ixus_setattr(plugged->Device(), host.CameraBuffer(), path, attributes);
    printed = testing::internal::GetCapturedStderr();
    return result;
  }
  long Delete(const char* path) {
    testing::internal::CaptureStderr();
    long result = ixus_delete(plugged->Device(), host.CameraBuffer(), path);
    printed = testing::internal::GetCapturedStderr();
    return result;
  }
  sim::TransferRecord OnlyCommand() const {
    std::vector<sim::TransferRecord> commands = plugged->Commands();
    return commands.size() == 1 ? commands[0] : sim::TransferRecord{};
  }

  listing_test::RecordingHost host;
  std::unique_ptr<listing_test::PluggedDevice> plugged;
  std::string printed;
};

TEST_F(PictureCommands, SetAttributesBytesOfTheExample) {
  Scripted(StatusReply(kSetAttr, 0));
  ASSERT_TRUE(SetAttr(kPath, 0x21));
  sim::TransferRecord command = OnlyCommand();
  std::vector<uint8_t> expected = Block(50, 0x201, 0x0E, 0x11);
  for (uint8_t byte : {0x21, 0, 0, 0}) expected.push_back(byte);
  std::vector<uint8_t> path = SplitPath();
  expected.insert(expected.end(), path.begin(), path.end());
  ASSERT_EQ(expected.size(), 114u);
  EXPECT_EQ(command.data, expected);
  EXPECT_EQ(command.request_type, 0x40);
  EXPECT_EQ(command.request, 0x04);
  EXPECT_EQ(command.value, 0x10);
  EXPECT_EQ(command.index, 0);
  EXPECT_EQ(plugged->BulkRequests(), (std::vector<uint32_t>{84}));
  EXPECT_EQ(printed, "");
}

TEST_F(PictureCommands, DeleteBytesOfTheExample) {
  Scripted(StatusReply(kDelete, 0x02000086));
  EXPECT_EQ(Delete(kPath), 0x02000086);
  sim::TransferRecord command = OnlyCommand();
  std::vector<uint8_t> expected = Block(46, 0x201, 0x0D, 0x11);
  std::vector<uint8_t> path = SplitPath();
  expected.insert(expected.end(), path.begin(), path.end());
  ASSERT_EQ(expected.size(), 110u);
  EXPECT_EQ(command.data, expected);
  EXPECT_EQ(command.request, 0x04);
  EXPECT_EQ(plugged->BulkRequests(), (std::vector<uint32_t>{84}));
}

TEST_F(PictureCommands, OnlyTheLastBackslashSplits) {
  Scripted(StatusReply(kSetAttr, 0));
  ASSERT_TRUE(SetAttr("D:\\A\\B", 0));
  std::vector<uint8_t> command = OnlyCommand().data;
  std::vector<uint8_t> payload(command.begin() + 84, command.end());
  EXPECT_EQ(payload, (std::vector<uint8_t>{'D', ':', '\\', 'A', 0, 'B', 0}));
}

TEST_F(PictureCommands, DeleteAnswersTheStatusWord) {
  for (uint32_t status : {0x02000086u, 0u, 0x02000085u, 0xFFFFFFFFu}) {
    Scripted(StatusReply(kDelete, status));
    EXPECT_EQ(Delete(kPath), long(status)) << status;
  }
  // A status word of all ones is not taken for a failure.
  EXPECT_NE(long(0xFFFFFFFFu), -1);
}

TEST_F(PictureCommands, SetAttributesSucceedsWhateverTheStatus) {
  Scripted(StatusReply(kSetAttr, 0xDEADBEEF));
  EXPECT_TRUE(SetAttr(kPath, 0x01));
}

// A reply to another command is no answer: it is what an earlier command left, and the
// pipe is read until the camera has nothing more.
TEST_F(PictureCommands, AReplyToAnotherCommandIsRefused) {
  Scripted(StatusReply(kDelete, 0));
  EXPECT_FALSE(SetAttr(kPath, 0x01));
  EXPECT_EQ(printed, "Reply to command 13 where 14 was sent.\nError in setattr 2.");
  Scripted(StatusReply(kSetAttr, 0x02000086));
  EXPECT_EQ(Delete(kPath), -1);
}

TEST_F(PictureCommands, ControlTransferFails) {
  auto camera = std::make_shared<sim::SimCamera>();
  plugged = std::make_unique<listing_test::PluggedDevice>(camera);
  camera->FailTransfer(plugged->Next());
  EXPECT_FALSE(SetAttr(kPath, 0));
  EXPECT_EQ(printed, "Error in setattr.\n");
  camera->FailTransfer(plugged->Next());
  EXPECT_EQ(Delete(kPath), -1);
  EXPECT_EQ(printed, "Error in delete.\n");
  // A command the camera may have taken after all is followed by reading what it sent.
  EXPECT_EQ(plugged->BulkRequests(), (std::vector<uint32_t>{4096, 4096}));
  EXPECT_TRUE(camera->Problems().empty());
}

TEST_F(PictureCommands, ReplyReadFails) {
  Scripted({});
  EXPECT_FALSE(SetAttr(kPath, 0));
  EXPECT_EQ(printed, "Error in setattr 2.");
  EXPECT_EQ(Delete(kPath), -1);
  EXPECT_EQ(printed, "Error in delete 2.");
}

TEST_F(PictureCommands, NoInputPipeSendsNothing) {
  auto device = std::make_shared<sim::SimDevice>(sim::MakeEndpointlessSet(0x04A9, 0x3049));
  plugged = std::make_unique<listing_test::PluggedDevice>(device);
  EXPECT_FALSE(SetAttr(kPath, 0));
  EXPECT_EQ(Delete(kPath), -1);
  EXPECT_EQ(printed, "");
  EXPECT_TRUE(plugged->Transfers().empty());
}

TEST_F(PictureCommands, PathWithoutFolderIsRefused) {
  Scripted(StatusReply(kSetAttr, 0x02000086));
  EXPECT_FALSE(SetAttr("IMG_1205.JPG", 0));
  EXPECT_EQ(printed, "Error in setattr.\n");
  EXPECT_EQ(Delete("IMG_1205.JPG"), -1);
  EXPECT_EQ(printed, "Error in delete.\n");
  EXPECT_TRUE(plugged->Transfers().empty());
}

TEST_F(PictureCommands, LongestPathThatFitsTheBuffer) {
  // 84 bytes before the path, the path, its zero: 5200 bytes, the whole buffer.
  std::string path = "D:\\" + std::string(5115 - 3, 'A');
  path[100] = '\\';
  Scripted(StatusReply(kSetAttr, 0));
  ASSERT_TRUE(SetAttr(path.c_str(), 0x20));
  EXPECT_EQ(OnlyCommand().data.size(), 5200u);
  EXPECT_EQ(OnlyCommand().data.back(), 0);
}

TEST_F(PictureCommands, PathTooLongForTheBufferIsRefused) {
  std::string path = "D:\\" + std::string(5116 - 3, 'A');
  Scripted(StatusReply(kDelete, 0x02000086));
  EXPECT_FALSE(SetAttr(path.c_str(), 0));
  EXPECT_EQ(printed, "Error in setattr.\n");
  std::string longer = path + std::string(4, 'A');
  EXPECT_EQ(Delete(longer.c_str()), -1);
  EXPECT_EQ(printed, "Error in delete.\n");
  EXPECT_TRUE(plugged->Transfers().empty());
  // Just short enough for the delete command, which has no attribute word.
  Scripted(StatusReply(kDelete, 0x02000086));
  EXPECT_EQ(Delete(path.c_str()), 0x02000086);
  EXPECT_EQ(OnlyCommand().data.size(), 5197u);
}

}  // namespace
}  // namespace download_test
