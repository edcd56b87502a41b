// Downloads that fail: each alert and diagnostic line, and what stays in the folder (never
// a part of a picture under its name, never a hidden work file), and the camera's pipe
// left empty for the next command.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <string>
#include <vector>

#include "camera/PictureData.h"
#include "camera/PictureFile.h"
#include "camera/ixus_command.h"
#include "camera/ixus_getfile.h"
#include "tests/camera/download_fixture.h"

namespace download_test {
namespace {

using Names = std::vector<std::string>;

// Standard error of a failed data read.
constexpr char kTransferLine[] = "\nError in transfer, please check the camera.\n";

TEST_F(Download, NoInputPipe) {
  plugged = std::make_unique<listing_test::PluggedDevice>(
      std::make_shared<sim::SimDevice>(sim::MakeEndpointlessSet(0x04A9, 0x3049)));
  EXPECT_FALSE(GetExample());
  EXPECT_EQ(alerts.Texts(), Names{"Could not get picture (1)"});
  EXPECT_EQ(printed, "Error in getfile 0\n");
  EXPECT_EQ(folder.Names(), Names{});
}

TEST_F(Download, CommandNotSent) {
  Put(Counting(5000));
  Plug();
  camera->FailTransfer(plugged->Next());
  EXPECT_FALSE(GetExample());
  EXPECT_EQ(alerts.Texts(), Names{"Could not get picture (2)"});
  EXPECT_EQ(printed, "Error in getfile 1\n");
  EXPECT_EQ(folder.Names(), Names{});
}

TEST_F(Download, PathTooLongForTheBufferIsNotSent) {
  Plug();
  std::string path = "D:\\DCIM\\" + std::string(5200, 'A') + "\\IMG_1205.JPG";
  std::unique_ptr<pic_Item> record = Record(path.c_str());
  EXPECT_FALSE(Get(path.c_str(), record.get()));
  EXPECT_EQ(alerts.Texts(), Names{"Could not get picture (2)"});
  EXPECT_EQ(printed, "Error in getfile 1\n");
  EXPECT_TRUE(plugged->Transfers().empty());
  EXPECT_EQ(folder.Names(), Names{});
}

TEST_F(Download, ReplyHeaderNotRead) {
  Put(Counting(5000));
  Plug();
  camera->FailTransfer(plugged->Next(2));
  EXPECT_FALSE(GetExample());
  EXPECT_EQ(alerts.Texts(), Names{"Could not get picture (3)"});
  EXPECT_EQ(printed, "Error in getfile 2\n");
  EXPECT_EQ(folder.Names(), Names{});
}

TEST_F(Download, DataReadFailsAndTheRestIsDrained) {
  Put(Counting(20000));
  Plug();
  camera->FailTransfer(plugged->Next(4));  // command, header, a first piece, then this
  EXPECT_FALSE(GetExample());
  EXPECT_EQ(alerts.Texts(), Names{"Transfer failed"});
  EXPECT_EQ(printed, kTransferLine);
  EXPECT_EQ(folder.Names(), Names{});
  EXPECT_EQ(camera->PendingReply(), 0u);
  // The next command reads its own reply, not what was left of the picture.
  camera->ClearProblems();
  Put(Counting(300, "IMG_0002.JPG"));
  std::unique_ptr<pic_Item> record = Record("D:\\DCIM\\112CANON\\IMG_0002.JPG");
  EXPECT_TRUE(Get("D:\\DCIM\\112CANON\\IMG_0002.JPG", record.get()));
  EXPECT_EQ(ReadFile("IMG_0002.JPG"), Counting(300).bytes);
  EXPECT_TRUE(camera->Problems().empty()) << camera->Problems()[0];
}

TEST_F(Download, PipeThatStopsDeliveringIsGivenUp) {
  // The header promises 20000 bytes; only 5000 come.
  plugged =
      std::make_unique<listing_test::PluggedDevice>(std::make_shared<listing_test::ScriptedDevice>(
          listing_test::DataReply(Counting(5000).bytes, 20000),
          std::vector<uint32_t>{64, 4096, 904, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
  std::unique_ptr<pic_Item> record = Record(kExamplePath);
  record->set_Size(20000);
  EXPECT_FALSE(Get(kExamplePath, record.get()));
  EXPECT_EQ(alerts.Texts(), Names{"Transfer failed"});
  EXPECT_EQ(printed, kTransferLine);
  EXPECT_EQ(folder.Names(), Names{});
}

TEST_F(Download, CameraUnpluggedInTheMiddle) {
  Put(Counting(4096 * 40));
  Plug();
  camera->UnplugAtTransfer(plugged->Next(20));
  EXPECT_FALSE(GetExample());
  EXPECT_EQ(alerts.Texts(), Names{"Transfer failed"});
  EXPECT_EQ(printed, kTransferLine);
  EXPECT_EQ(folder.Names(), Names{});
  EXPECT_TRUE(host.progress.empty());
}

TEST_F(Download, FolderGoneBeforehand) {
  Put(Counting(100));
  Plug();
  ASSERT_EQ(rmdir(folder.Path().c_str()), 0);
  EXPECT_FALSE(GetExample());
  EXPECT_EQ(alerts.Texts(), Names{"Could not create the file."});
  EXPECT_TRUE(plugged->Transfers().empty());
}

TEST_F(Download, NameTakenDuringTheTransferIsKept) {
  camera = std::make_shared<IntrudingCamera>(kExampleName);
  Put(Counting(20000));
  Plug();
  EXPECT_FALSE(GetExample());
  EXPECT_EQ(alerts.Texts(), Names{"The file already exists."});
  EXPECT_EQ(folder.Names(), Names{kExampleName});
  EXPECT_EQ(ReadFile(kExampleName), (std::vector<uint8_t>{'m', 'i', 'n', 'e'}));
}

// Downloads a picture of `size` bytes in a child process whose files may grow to `limit`
// bytes only: what the child saw, as "result|alerts|names".
std::string DownloadWithFileLimit(size_t size, rlim_t limit) {
  listing_test::RecordingHost host;
  testsupport::AlertRecorder alerts;
  ScratchFolder folder;
  auto camera = std::make_shared<sim::SimCamera>();
  camera->AddFile(kExampleFolder, Counting(size));
  listing_test::PluggedDevice plugged(camera);
  std::optional<std::string> seen = InChild([&] {
    signal(SIGXFSZ, SIG_IGN);
    rlimit rule{limit, limit};
    setrlimit(RLIMIT_FSIZE, &rule);
    std::unique_ptr<pic_Item> record = Record(kExamplePath);
    record->set_Size(uint32_t(size));
    bool ok = ixus_getfile(plugged.Device(), host.CameraBuffer(), kExamplePath, record.get());
    std::string report = ok ? "true|" : "false|";
    for (const std::string& text : alerts.Texts()) report += text + ";";
    report += "|";
    for (const std::string& name : folder.Names()) report += name + ";";
    return report + "|" + std::to_string(camera->PendingReply());
  });
  return seen.value_or("child failed");
}

TEST(DownloadWrite, OtherWriteFailure) {
  // Files may not grow past 10000 bytes: the third piece is written in part, then refused.
  EXPECT_EQ(DownloadWithFileLimit(20000, 10000), "false|Could not write to the file.;||0");
}

TEST_F(Download, FullVolume) {
  Put(Counting(200000));
  Plug();
  std::optional<std::string> seen = InChild([&] {
    if (!MountInNamespace(folder.Path(), "tmpfs", "size=64k")) return std::string("no namespace");
    bool ok = GetExample();
    std::string report = ok ? "true|" : "false|";
    for (const std::string& text : alerts.Texts()) report += text + ";";
    report += "|";
    for (const std::string& name : folder.Names()) report += name + ";";
    return report + "|" + std::to_string(camera->PendingReply());
  });
  ASSERT_TRUE(seen);
  if (*seen == "no namespace") GTEST_SKIP() << "no user namespaces here";
  EXPECT_EQ(*seen, "false|The volume is full.;||0");
}

// The same branch without a namespace: the data loop writing to a device that is always full.
TEST_F(Download, FullDeviceStopsTheDataAndDrainsTheReply) {
  auto device = std::make_shared<listing_test::ScriptedDevice>(
      listing_test::DataReply(Counting(12000).bytes));
  plugged = std::make_unique<listing_test::PluggedDevice>(device);
  unsigned char* buffer = host.CameraBuffer();
  const USBEndpoint* pipe = ixus_inpipe(plugged->Device());
  ASSERT_EQ(ixus_readfull(pipe, buffer, 64), 64);
  int full = open("/dev/full", O_WRONLY | O_CLOEXEC);
  ASSERT_NE(full, -1);
  testing::internal::CaptureStderr();
  EXPECT_STREQ(ReceivePicture(pipe, buffer, ixus_le32(buffer + 6),
                              [full](const unsigned char* data, size_t length) {
                                return WriteAll(full, data, length);
                              }),
               "The volume is full.");
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
  close(full);
  EXPECT_TRUE(alerts.Texts().empty()) << "the caller shows it";
  EXPECT_EQ(device->Remaining(), 0u);
  EXPECT_TRUE(host.progress.empty());
}

TEST(WriteFailure, AlertsByReason) {
  EXPECT_STREQ(WriteFailure(ENOSPC), "The volume is full.");
  EXPECT_STREQ(WriteFailure(EEXIST), "The file already exists.");
  EXPECT_STREQ(WriteFailure(EIO), "Could not write to the file.");
  EXPECT_STREQ(WriteFailure(EFBIG), "Could not write to the file.");
}

}  // namespace
}  // namespace download_test
