#include <gtest/gtest.h>

#include <ctime>

#include "tests/sim/commands_blocks.h"

namespace {

using simtest::Announcement;
using simtest::CameraHost;
using simtest::Little32;
using simtest::Noted;
using simtest::SendBulk;
using simtest::UploadBlock;
using simtest::UploadChunk;

const char* const kPath = "D:\\DCIM\\112CANON\\IMG_1205.JPG";

std::vector<uint8_t> FileBytes(size_t size, uint8_t seed) {
  std::vector<uint8_t> bytes(size);
  for (size_t i = 0; i < size; ++i) bytes[i] = uint8_t(i * 7 + seed + (i >> 8));
  return bytes;
}

// Sends the file as the host does: chunks of at most 768 bytes at rising offsets.
bool Upload(CameraHost& host, const std::vector<uint8_t>& file) {
  for (size_t offset = 0; offset < file.size(); offset += 768) {
    size_t end = std::min(file.size(), offset + 768);
    if (!UploadChunk(host, kPath, uint32_t(offset), {file.begin() + offset, file.begin() + end}))
      return false;
  }
  return true;
}

TEST(Upload, BlocksAreLaidOutAsTheHostSendsThem) {
  std::vector<uint8_t> file = FileBytes(1000, 1);
  std::vector<uint8_t> first = UploadBlock(kPath, 0, {file.begin(), file.begin() + 768});
  std::vector<uint8_t> second = UploadBlock(kPath, 768, {file.begin() + 768, file.end()});
  EXPECT_EQ(first.size(), 890u);
  EXPECT_EQ(first[0] | first[1] << 8, 826);
  EXPECT_EQ(second.size(), 354u);
  EXPECT_EQ(Little32(second, 84), 768u);
  std::vector<uint8_t> announcement = Announcement(890);
  EXPECT_EQ(announcement[6], 0x7A);
  EXPECT_EQ(announcement[7], 0x03);
}

TEST(Upload, ChunksMakeANewFileOnTheCamera) {
  CameraHost host;
  std::vector<uint8_t> file = FileBytes(1000, 1);
  uint32_t before = uint32_t(std::time(nullptr));
  ASSERT_TRUE(Upload(host, file));
  EXPECT_TRUE(host.Camera().Problems().empty());
  EXPECT_EQ(host.Camera().PendingReply(), 0u);
  std::optional<sim::CameraFile> stored = host.Camera().FindFile(kPath);
  ASSERT_TRUE(stored.has_value()) << "the folder is made for it";
  EXPECT_EQ(stored->name, "IMG_1205.JPG");
  EXPECT_EQ(stored->bytes, file);
  EXPECT_EQ(stored->attributes, sim::kAttributeNew);
  EXPECT_GE(stored->date, before);
  EXPECT_LE(stored->date, uint32_t(std::time(nullptr)));

  std::vector<uint8_t> listing;
  ASSERT_TRUE(host.Send(simtest::ListingCommand("D:")));
  ASSERT_TRUE(host.ReadDataReply(&listing));
  std::string text(listing.begin(), listing.end());
  size_t entry = text.find("IMG_1205.JPG");
  ASSERT_NE(entry, std::string::npos);
  EXPECT_EQ(Little32(listing, entry - 8), 1000u) << "listed with its size";
  EXPECT_NE(text.find(".\\112CANON"), std::string::npos);
}

TEST(Upload, EachStepIsAnsweredOnTheInputPipe) {
  CameraHost host;
  std::vector<uint8_t> chunk = FileBytes(100, 3);
  std::vector<uint8_t> block = UploadBlock(kPath, 0, chunk);
  std::vector<uint8_t> announcement = Announcement(uint32_t(block.size()));
  std::vector<uint8_t> answer;
  ASSERT_TRUE(host.Send(announcement));
  EXPECT_EQ(host.Camera().PendingReply(), 64u);
  ASSERT_TRUE(host.Read(64, &answer));
  EXPECT_EQ(answer, announcement) << "acknowledged as sent";
  EXPECT_FALSE(host.Camera().FindFile(kPath).has_value()) << "nothing before the data";
  ASSERT_TRUE(SendBulk(host, block));
  ASSERT_TRUE(host.Read(200, &answer));
  ASSERT_EQ(answer.size(), 92u);
  EXPECT_EQ(Little32(answer, 80), 0u);
  EXPECT_EQ(answer[68], 0x03);
  EXPECT_EQ(answer[71], 0x11);
  EXPECT_EQ(host.Camera().FindFile(kPath)->bytes, chunk);
}

TEST(Upload, ASecondUploadReplacesTheFirst) {
  CameraHost host;
  ASSERT_TRUE(Upload(host, FileBytes(2000, 1)));
  std::vector<uint8_t> second = FileBytes(300, 9);
  ASSERT_TRUE(Upload(host, second));
  EXPECT_EQ(host.Camera().FindFile(kPath)->bytes, second);
  size_t files = 0;
  for (const sim::CameraFolder& folder : host.Camera().Folders()) files += folder.files.size();
  EXPECT_EQ(files, 1u);
  EXPECT_TRUE(host.Camera().Problems().empty());
}

// The announcement is answered; the block that follows is noted with the reason, answered
// with nothing, and leaves the content as it was.
void ExpectBlockRefused(const std::vector<uint8_t>& block, const std::string& reason,
                        uint32_t announced = 0) {
  CameraHost host;
  ASSERT_TRUE(UploadChunk(host, kPath, 0, {1, 2, 3})) << reason;
  std::vector<uint8_t> answer;
  ASSERT_TRUE(host.Send(Announcement(announced != 0 ? announced : uint32_t(block.size()))));
  ASSERT_TRUE(host.Read(64, &answer)) << reason;
  EXPECT_TRUE(SendBulk(host, block)) << reason << ": the camera takes the data";
  EXPECT_FALSE(host.Read(92, &answer)) << reason;
  EXPECT_TRUE(Noted(host.Camera(), reason)) << reason;
  EXPECT_EQ(host.Camera().FindFile(kPath)->bytes, (std::vector<uint8_t>{1, 2, 3})) << reason;
}

TEST(Upload, MalformedBlocksAreRefused) {
  std::vector<uint8_t> good = UploadBlock(kPath, 3, {4, 5});
  for (size_t at : {2, 4, 5, 6, 63, 64, 65, 68, 69, 71, 72, 74, 76, 80, 81, 88, 90}) {
    std::vector<uint8_t> broken = good;
    broken[at] ^= 0x01;
    ExpectBlockRefused(broken, "malformed upload data block");
  }
  std::vector<uint8_t> unterminated = good;
  unterminated.resize(92 + 29);
  unterminated[0] = unterminated[72] = 121 - 64;
  ExpectBlockRefused(unterminated, "malformed upload data block");
  ExpectBlockRefused(UploadBlock(kPath, 3, std::vector<uint8_t>(769, 1)),
                     "malformed upload data block");
  ExpectBlockRefused(UploadBlock("", 3, {4, 5}), "malformed upload data block");
  ExpectBlockRefused(good, "upload data block of 124 bytes, 125 announced", 125);
}

TEST(Upload, ChunksMustContinueTheFile) {
  ExpectBlockRefused(UploadBlock(kPath, 2, {4, 5}), "offset 2");
  ExpectBlockRefused(UploadBlock(kPath, 4, {4, 5}), "offset 4");
  ExpectBlockRefused(UploadBlock("D:\\DCIM\\112CANON\\IMG_1206.JPG", 3, {4}),
                     "does not continue an upload");
  CameraHost host;
  EXPECT_FALSE(UploadChunk(host, kPath, 768, std::vector<uint8_t>(10, 1)));
  EXPECT_TRUE(Noted(host.Camera(), "offset 768"));
  EXPECT_FALSE(host.Camera().FindFile(kPath).has_value());
}

TEST(Upload, APathOffTheCameraIsRefused) {
  for (const char* path :
       {"E:\\DCIM\\112CANON\\IMG_1205.JPG", "D:\\IMG_1205.JPG", "D:\\DCIM\\IMG_1205.JPG",
        "D:\\DCIM\\112CANON\\SUB\\IMG_1205.JPG", "D:\\DCIM\\112CANON\\"}) {
    CameraHost host;
    EXPECT_FALSE(UploadChunk(host, path, 0, {1})) << path;
    EXPECT_TRUE(Noted(host.Camera(), "no place on the camera")) << path;
    EXPECT_EQ(host.Camera().Folders().size(), 1u) << path;
  }
}

TEST(Upload, DataWithoutAnnouncementIsNotTaken) {
  CameraHost host;
  EXPECT_FALSE(SendBulk(host, UploadBlock(kPath, 0, {1})));
  EXPECT_TRUE(Noted(host.Camera(), "without an upload announcement"));
  ASSERT_TRUE(UploadChunk(host, kPath, 0, {1}));
  EXPECT_FALSE(SendBulk(host, UploadBlock(kPath, 1, {2}))) << "one block per announcement";
  EXPECT_EQ(host.Camera().FindFile(kPath)->bytes, std::vector<uint8_t>{1});
}

TEST(Upload, MalformedAnnouncementsAreNotAnswered) {
  for (size_t at : {0, 4, 5, 8, 63}) {
    CameraHost host;
    std::vector<uint8_t> announcement = Announcement(200);
    announcement[at] ^= 0x01;
    ASSERT_TRUE(host.Send(announcement));
    std::vector<uint8_t> answer;
    EXPECT_FALSE(host.Read(64, &answer)) << at;
    EXPECT_TRUE(Noted(host.Camera(), "malformed upload announcement")) << at;
    EXPECT_FALSE(SendBulk(host, std::vector<uint8_t>(200))) << at;
  }
  CameraHost host;
  ASSERT_TRUE(host.Send(Announcement(94)));
  EXPECT_TRUE(Noted(host.Camera(), "malformed upload announcement")) << "smaller than any block";
}

TEST(Upload, AnAnnouncedBlockThatNeverComesIsNoted) {
  CameraHost host;
  std::vector<uint8_t> answer;
  ASSERT_TRUE(host.Send(Announcement(200)));
  ASSERT_TRUE(host.Read(64, &answer));
  ASSERT_TRUE(host.Send(simtest::FlashNameCommand()));
  EXPECT_TRUE(Noted(host.Camera(), "announced upload data block did not come"));
  std::vector<uint8_t> name;
  ASSERT_TRUE(host.ReadDataReply(&name)) << "the command is answered all the same";
  EXPECT_FALSE(SendBulk(host, std::vector<uint8_t>(200)));
}

TEST(Upload, AnUnreadAnswerIsNoticed) {
  CameraHost host;
  std::vector<uint8_t> block = UploadBlock(kPath, 0, {1, 2});
  ASSERT_TRUE(host.Send(Announcement(uint32_t(block.size()))));
  ASSERT_TRUE(SendBulk(host, block));
  EXPECT_TRUE(Noted(host.Camera(), "64 reply bytes left unread before the upload data block"));
  EXPECT_EQ(host.Camera().PendingReply(), 64u + 92);
}

TEST(Upload, AShortBlockTransferIsRefused) {
  CameraHost host;
  std::vector<uint8_t> block = UploadBlock(kPath, 0, std::vector<uint8_t>(500, 1));
  std::vector<uint8_t> answer;
  ASSERT_TRUE(host.Send(Announcement(uint32_t(block.size()))));
  ASSERT_TRUE(host.Read(64, &answer));
  host.Camera().ShortenTransfer(host.Camera().TransferCount() + 1, 300);
  SendBulk(host, block);
  EXPECT_TRUE(Noted(host.Camera(), "upload data block of 300 bytes"));
  EXPECT_FALSE(host.Camera().FindFile(kPath).has_value());
}

TEST(Upload, ReplugForgetsTheAnnouncement) {
  sim::SimPlatform platform;
  auto camera = std::make_shared<sim::SimCamera>();
  platform.Bus().Plug("/dev/bus/usb/001/002", camera);
  auto node = platform.Usb().Open("/dev/bus/usb/001/002");
  node->SetConfiguration(0);
  std::vector<uint8_t> block = UploadBlock(kPath, 0, {1});
  std::vector<uint8_t> announcement = Announcement(uint32_t(block.size()));
  uint16_t length = 64;
  ASSERT_TRUE(node->ControlTransfer(0x40, 4, 0x10, 0, &length, announcement.data()).Ok());
  platform.Bus().Remove("/dev/bus/usb/001/002");
  platform.Bus().Plug("/dev/bus/usb/001/003", camera);
  node = platform.Usb().Open("/dev/bus/usb/001/003");
  node->SetConfiguration(0);
  uint32_t size = uint32_t(block.size());
  EXPECT_FALSE(node->BulkTransfer(0, 1, block.data(), &size).Ok());
  EXPECT_FALSE(camera->FindFile(kPath).has_value());
}

}  // namespace
