// A picture download from the simulated camera: the command on the wire, the reads, the
// file and its type and attributes, and the progress reports.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/camera/download_fixture.h"
#include "tests/camera/thumbs_pictures.h"

namespace download_test {
namespace {

using Names = std::vector<std::string>;
using Reports = std::vector<std::pair<unsigned long, std::string>>;

std::vector<uint8_t> Text(const std::string& text) {
  return {text.begin(), text.end()};
}

TEST_F(Download, CommandBytesOfTheExample) {
  Put(Counting(10));
  Plug();
  ASSERT_TRUE(GetExample());
  std::vector<sim::TransferRecord> commands = plugged->Commands();
  ASSERT_EQ(commands.size(), 1u);
  // 29 path characters: length word 54, 118 bytes on the wire.
  std::vector<uint8_t> expected = Block(54, 0x202, 1, 0x11);
  std::vector<uint8_t> payload = {0, 0, 0, 0, 0x00, 0x14, 0, 0};
  expected.insert(expected.end(), payload.begin(), payload.end());
  std::string path = kExamplePath;
  expected.insert(expected.end(), path.begin(), path.end());
  expected.push_back(0);
  EXPECT_EQ(commands[0].data, expected);
  EXPECT_EQ(commands[0].request_type, 0x40);
  EXPECT_EQ(commands[0].request, 0x04);
  EXPECT_EQ(commands[0].value, 0x10);
  EXPECT_EQ(commands[0].index, 0);
  EXPECT_TRUE(camera->Problems().empty()) << camera->Problems()[0];
}

TEST_F(Download, UprightPictureLandsUnderItsOwnName) {
  sim::CameraFile file = listing_test::Picture(kExampleName, 1);
  Put(file);
  Plug();
  std::unique_ptr<pic_Item> record = Record(kExamplePath, 1, 640, 480, 0x19, 1000000000);
  ASSERT_TRUE(Get(kExamplePath, record.get()));
  EXPECT_TRUE(alerts.Texts().empty());
  EXPECT_EQ(folder.Names(), Names{kExampleName});
  EXPECT_EQ(ReadFile(kExampleName), file.bytes);
  EXPECT_EQ(Attribute(kExampleName, "mime_type"), Text("image/jpeg"));
  int32_t width = 640, height = 480;
  EXPECT_EQ(Attribute(kExampleName, "GRAFX:Width"), Typed("LONG", &width, 4));
  EXPECT_EQ(Attribute(kExampleName, "GRAFX:Height"), Typed("LONG", &height, 4));
  uint8_t fired = 1;
  EXPECT_EQ(Attribute(kExampleName, "EXIF:Flash"), Typed("BOOL", &fired, 1));
  ASSERT_TRUE(Attribute(kExampleName, "EXIF:Date"));
  EXPECT_EQ(Attribute(kExampleName, "EXIF:Date")->size(), 12u);
  // No turn asked for, so no jpegtran and nothing on standard error.
  EXPECT_EQ(printed, "");
  EXPECT_EQ(camera->PendingReply(), 0u);
}

TEST_F(Download, FileHasTheUsualPermissions) {
  Put(Counting(10));
  Plug();
  mode_t mask = umask(022);
  ASSERT_TRUE(GetExample());
  umask(mask);
  struct stat status;
  ASSERT_EQ(stat(kExampleName, &status), 0);
  EXPECT_EQ(status.st_mode & 0777, 0644u);
}

TEST_F(Download, ThirtyThreeFullPiecesReportOnceThenZero) {
  Put(Counting(4096 * 33));
  Plug();
  ASSERT_TRUE(GetExample());
  EXPECT_EQ(host.progress, (Reports{{135168, ""}, {0, ""}}));
  std::vector<uint32_t> reads = plugged->BulkRequests();
  ASSERT_EQ(reads.size(), 34u);
  EXPECT_EQ(reads[0], 64u);
  for (size_t i = 1; i < reads.size(); i++) EXPECT_EQ(reads[i], 4096u) << i;
}

TEST_F(Download, TenThousandBytesInThreePiecesOneReport) {
  sim::CameraFile file = Counting(10000);
  Put(file);
  Plug();
  ASSERT_TRUE(GetExample());
  EXPECT_EQ(plugged->BulkRequests(), (std::vector<uint32_t>{64, 4096, 4096, 1808}));
  EXPECT_EQ(host.progress, (Reports{{10000, ""}}));
  EXPECT_EQ(ReadFile(kExampleName), file.bytes);
}

TEST_F(Download, ReportsEveryThirtyTwoPiecesAfterTheFirstAndAddUp) {
  Put(Counting(4096 * 65 + 100));
  Plug();
  ASSERT_TRUE(GetExample());
  EXPECT_EQ(host.progress, (Reports{{33 * 4096, ""}, {32 * 4096, ""}, {100, ""}}));
}

TEST_F(Download, EmptyPictureIsAnEmptyFileWithoutReport) {
  Put(Counting(0));
  Plug();
  ASSERT_TRUE(GetExample());
  EXPECT_EQ(folder.Names(), Names{kExampleName});
  EXPECT_TRUE(ReadFile(kExampleName).empty());
  EXPECT_EQ(Attribute(kExampleName, "mime_type"), Text("image/jpeg"));
  EXPECT_TRUE(Attribute(kExampleName, "GRAFX:Width"));
  EXPECT_TRUE(host.progress.empty());
  EXPECT_EQ(plugged->BulkRequests(), (std::vector<uint32_t>{64}));
}

TEST_F(Download, ShortAndEmptyReadsAreMadeUp) {
  sim::CameraFile file = Counting(9000);
  Put(file);
  Plug();
  camera->ShortenTransfer(plugged->Next(3), 1000);  // the first data read
  camera->ShortenTransfer(plugged->Next(4), 0);
  ASSERT_TRUE(GetExample());
  EXPECT_EQ(ReadFile(kExampleName), file.bytes);
  EXPECT_EQ(host.progress, (Reports{{9000, ""}}));
}

TEST_F(Download, OnlyTheListedLengthIsThePicture) {
  // The listing said 100 bytes; a reply of any other length answers something else.
  for (uint32_t sent : {6000u, 99u, 0u}) {
    std::vector<uint8_t> data = Counting(sent).bytes;
    plugged = std::make_unique<listing_test::PluggedDevice>(
        std::make_shared<listing_test::ScriptedDevice>(listing_test::DataReply(data)));
    std::unique_ptr<pic_Item> record = Record(kExamplePath);
    record->set_Size(100);
    EXPECT_FALSE(Get(kExamplePath, record.get())) << sent;
    EXPECT_EQ(folder.Names(), Names{}) << sent;
  }
  EXPECT_EQ(alerts.Texts(), Names(3, "Could not get picture (3)"));
}

TEST_F(Download, SecondDownloadLeavesTheFirstFileAlone) {
  sim::CameraFile file = Counting(5000);
  Put(file);
  Plug();
  ASSERT_TRUE(GetExample());
  WriteFile(kExampleName, Text("edited since"));
  camera->ClearTransfers();
  EXPECT_FALSE(GetExample());
  EXPECT_EQ(alerts.Texts(), Names{"The file already exists."});
  EXPECT_EQ(ReadFile(kExampleName), Text("edited since"));
  EXPECT_EQ(folder.Names(), Names{kExampleName});
  // Found out before anything went to the camera.
  EXPECT_TRUE(camera->Transfers().empty());
}

TEST_F(Download, TakenNameOfAPictureToTurnIsFoundBeforeTheTransfer) {
  Put(listing_test::Picture(kExampleName, 6));
  Plug();
  WriteFile(kExampleName, Text("someone's"));
  EXPECT_FALSE(GetExample(6));
  EXPECT_EQ(alerts.Texts(), Names{"The file already exists."});
  EXPECT_EQ(ReadFile(kExampleName), Text("someone's"));
  EXPECT_EQ(folder.Names(), Names{kExampleName});
  EXPECT_TRUE(camera->Transfers().empty());
  EXPECT_EQ(printed, "");
}

TEST_F(Download, LinkOfThatNameIsNeverFollowed) {
  Put(Counting(100));
  Plug();
  std::string target = folder.Path() + "/elsewhere";
  ASSERT_EQ(symlink(target.c_str(), kExampleName), 0);
  EXPECT_FALSE(GetExample());
  EXPECT_EQ(alerts.Texts(), Names{"The file already exists."});
  EXPECT_FALSE(std::filesystem::exists(target));
  EXPECT_TRUE(std::filesystem::is_symlink(kExampleName));
}

TEST_F(Download, SeveralPicturesIntoOneFolder) {
  Put(Counting(3000, "IMG_0001.JPG"));
  Put(Counting(5000, "IMG_0002.JPG"));
  Plug();
  for (const char* path :
       {"D:\\DCIM\\112CANON\\IMG_0001.JPG", "D:\\DCIM\\112CANON\\IMG_0002.JPG"}) {
    std::unique_ptr<pic_Item> record = Record(path);
    EXPECT_TRUE(Get(path, record.get())) << path;
  }
  EXPECT_EQ(folder.Names(), (Names{"IMG_0001.JPG", "IMG_0002.JPG"}));
  EXPECT_EQ(ReadFile("IMG_0002.JPG"), Counting(5000).bytes);
  EXPECT_TRUE(camera->Problems().empty()) << camera->Problems()[0];
}

}  // namespace
}  // namespace download_test
