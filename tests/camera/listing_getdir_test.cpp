// The listing command against the simulated camera: its bytes, the reading in pieces and
// every way it can fail.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "camera/ixus_dir.h"
#include "tests/camera/listing_bytes.h"
#include "tests/camera/listing_camera.h"
#include "tests/camera/thumbs_host.h"

namespace listing_test {
namespace {

std::vector<std::string> Names(ixus_direntry* first) {
  std::vector<std::string> names;
  for (ixus_direntry* entry = first; entry != nullptr; entry = entry->next)
    names.push_back(entry->name);
  return names;
}

// Lists the device; the diagnostic output goes to `printed`.
ixus_direntry* List(const PluggedDevice& plugged, RecordingHost& host, const char* path,
                    std::string* printed) {
  testing::internal::CaptureStderr();
  ixus_direntry* first = ixus_getdir(plugged.Device(), host.CameraBuffer(), path);
  *printed = testing::internal::GetCapturedStderr();
  return first;
}

// A camera whose listing is exactly `size` bytes: drive, DCIM, 100CANON with one picture.
std::shared_ptr<sim::SimCamera> CameraWithListingOf(size_t size) {
  auto camera = std::make_shared<sim::SimCamera>();
  // The tree around the picture takes 99 bytes and the name's own length.
  std::string name = std::string(size - 99 - 4, 'A') + ".JPG";
  camera->AddFile("100CANON", {name, 0x20, 1000, {1, 2, 3}});
  return camera;
}

struct ListingCamera : testing::Test {
  RecordingHost host;
  std::shared_ptr<sim::SimCamera> camera = std::make_shared<sim::SimCamera>();
  std::string printed;
};

TEST_F(ListingCamera, CommandBytes) {
  PluggedDevice plugged(camera);
  ixus_freedir(List(plugged, host, nullptr, &printed));
  std::vector<sim::TransferRecord> commands = plugged.Commands();
  ASSERT_EQ(commands.size(), 1u);
  const sim::TransferRecord& command = commands[0];
  EXPECT_EQ(command.request_type, 0x40);
  EXPECT_EQ(command.request, 0x04);
  EXPECT_EQ(command.value, 0x10);
  EXPECT_EQ(command.index, 0);
  std::vector<uint8_t> expected(86);
  expected[0] = 22;  // path length + 20
  expected[4] = 0x02;
  expected[5] = 0x02;
  expected[64] = 0x02;
  expected[68] = 11;
  expected[71] = 0x11;
  expected[72] = 22;
  expected[76] = 0x77;
  expected[77] = 0x66;
  expected[78] = 0x33;
  expected[79] = 0x11;
  expected[80] = 0x02;
  expected[81] = 'D';
  expected[82] = ':';
  EXPECT_EQ(command.data, expected);
  EXPECT_TRUE(camera->Problems().empty()) << camera->Problems()[0];
}

TEST_F(ListingCamera, ListsTheNamedDrive) {
  camera->SetDriveName("CF CARD");
  camera->AddFile("100CANON", {"IMG_0001.JPG", 0x20, 1000000000, std::vector<uint8_t>(77)});
  PluggedDevice plugged(camera);
  ixus_direntry* first = List(plugged, host, "CF CARD", &printed);
  EXPECT_EQ(Names(first), (std::vector<std::string>{"CF CARD", ".\\DCIM", ".\\100CANON",
                                                    "IMG_0001.JPG", "..", ".."}));
  EXPECT_TRUE(camera->Problems().empty());
  EXPECT_EQ(printed.rfind("getdir path: CF CARD\nDIRECTORY LISTING:\n", 0), 0u) << printed;
  EXPECT_NE(printed.find("IMG_0001.JPG            77 [----]  Sun Sep  9 01:46:40 2001\n"),
            std::string::npos)
      << printed;
  ixus_freedir(first);
}

TEST_F(ListingCamera, ExactlyOnePieceOf1024) {
  camera = CameraWithListingOf(1024);
  PluggedDevice plugged(camera);
  ixus_direntry* first = List(plugged, host, nullptr, &printed);
  EXPECT_EQ(plugged.BulkRequests(), (std::vector<uint32_t>{64, 1024}));
  EXPECT_EQ(Names(first).size(), 6u);
  EXPECT_EQ(camera->PendingReply(), 0u);
  ixus_freedir(first);
}

TEST_F(ListingCamera, TwoPiecesFor1025) {
  camera = CameraWithListingOf(1025);
  PluggedDevice plugged(camera);
  ixus_direntry* first = List(plugged, host, nullptr, &printed);
  EXPECT_EQ(plugged.BulkRequests(), (std::vector<uint32_t>{64, 1024, 1}));
  EXPECT_EQ(Names(first).size(), 6u);
  ixus_freedir(first);
}

TEST_F(ListingCamera, ShortReadsCompleteTheirPiece) {
  camera = CameraWithListingOf(1025);
  PluggedDevice plugged(camera);
  camera->ShortenTransfer(plugged.Next(2), 40);    // the header arrives in two reads
  camera->ShortenTransfer(plugged.Next(4), 1000);  // so does the first piece,
  camera->ShortenTransfer(plugged.Next(5), 0);     // after an empty read
  ixus_direntry* first = List(plugged, host, nullptr, &printed);
  EXPECT_EQ(plugged.BulkRequests(), (std::vector<uint32_t>{64, 24, 1024, 24, 24, 1}));
  std::vector<std::string> names = Names(first);
  ASSERT_EQ(names.size(), 6u);
  EXPECT_EQ(names[3], std::string(1025 - 103, 'A') + ".JPG");
  ixus_freedir(first);
}

TEST_F(ListingCamera, ShortHeaderReadsComplete) {
  PluggedDevice plugged(camera);
  camera->ShortenTransfer(plugged.Next(2), 6);
  ixus_direntry* first = List(plugged, host, nullptr, &printed);
  EXPECT_EQ(plugged.BulkRequests(), (std::vector<uint32_t>{64, 58, 88}));
  EXPECT_EQ(Names(first).size(), 5u);
  ixus_freedir(first);
}

// A data read that fails drops the listing and tells how far it got, counting what short
// reads delivered. Transfers: 1 the command, 2 the header, 3 on the data.
TEST_F(ListingCamera, FailedDataReads) {
  struct Case {
    size_t listing;
    std::vector<std::pair<uint64_t, int>> shortened;  // transfer, bytes
    uint64_t failed;                                  // 0: none, the pipe goes quiet
    const char* message;
  };
  std::vector<std::pair<uint64_t, int>> quiet = {{3, 10}};
  for (uint64_t i = 4; i < 40; i++) quiet.push_back({i, 0});
  const Case cases[] = {
      {1025, {}, 3, "Could not get the directory listing (0/1025).\n"},
      {1025, {}, 4, "Could not get the directory listing (1024/1025).\n"},
      {1025, {{3, 100}}, 4, "Could not get the directory listing (100/1025).\n"},
      {1025, quiet, 0, "Could not get the directory listing (10/1025).\n"},
  };
  for (const Case& c : cases) {
    camera = CameraWithListingOf(c.listing);
    PluggedDevice plugged(camera);
    for (auto [transfer, bytes] : c.shortened)
      camera->ShortenTransfer(plugged.Next(transfer), uint32_t(bytes));
    if (c.failed != 0) camera->FailTransfer(plugged.Next(c.failed));
    EXPECT_EQ(List(plugged, host, nullptr, &printed), nullptr) << c.message;
    EXPECT_EQ(printed, std::string("getdir path: D:\n") + c.message);
  }
}

TEST_F(ListingCamera, FailedSendLooksForAnAnswerAndStops) {
  PluggedDevice plugged(camera);
  camera->FailTransfer(plugged.Next(1));
  EXPECT_EQ(List(plugged, host, nullptr, &printed), nullptr);
  EXPECT_EQ(printed, "getdir path: D:\nError in getdir 1\n");
  EXPECT_EQ(plugged.BulkRequests(), (std::vector<uint32_t>{4096}));
}

// A reply that comes although its command failed on the way is no listing to trust: it is
// read off, so that the next command reads its own.
TEST_F(ListingCamera, AReplyAfterAFailedSendIsReadOff) {
  auto device = std::make_shared<ScriptedDevice>(DataReply(EncodeListing(ExampleTree())));
  PluggedDevice plugged(device);
  device->FailTransfer(plugged.Next(1));
  EXPECT_EQ(List(plugged, host, nullptr, &printed), nullptr);
  EXPECT_EQ(printed, "getdir path: D:\nError in getdir 1\n");
  EXPECT_EQ(device->Remaining(), 0u);
}

TEST_F(ListingCamera, FailedHeaderReadsThePipeEmpty) {
  PluggedDevice plugged(camera);
  camera->ShortenTransfer(plugged.Next(2), 10);
  camera->FailTransfer(plugged.Next(3));
  EXPECT_EQ(List(plugged, host, nullptr, &printed), nullptr);
  EXPECT_EQ(printed, "getdir path: D:\nError in getdir 2\n");
  EXPECT_EQ(plugged.BulkRequests(), (std::vector<uint32_t>{64, 54, 4096, 4096}));
  EXPECT_EQ(camera->PendingReply(), 0u);
}

TEST_F(ListingCamera, EmptyListingGivesNoList) {
  PluggedDevice plugged(camera);
  // The camera holds no drive of that name and answers with no data.
  EXPECT_EQ(List(plugged, host, "E:", &printed), nullptr);
  EXPECT_EQ(printed, "getdir path: E:\n");
  EXPECT_EQ(plugged.BulkRequests(), (std::vector<uint32_t>{64}));
}

TEST_F(ListingCamera, ListingOfOnlyTheEndEntry) {
  auto device = std::make_shared<ScriptedDevice>(DataReply(EncodeListing({})));
  PluggedDevice plugged(device);
  EXPECT_EQ(List(plugged, host, nullptr, &printed), nullptr);
  EXPECT_EQ(printed.rfind("getdir path: D:\nDIRECTORY LISTING:\n", 0), 0u);
  EXPECT_EQ(device->Remaining(), 0u);
}

TEST_F(ListingCamera, HugeLengthIsRefused) {
  auto device = std::make_shared<ScriptedDevice>(DataReply({}, (64u << 20) + 1));
  PluggedDevice plugged(device);
  EXPECT_EQ(List(plugged, host, nullptr, &printed), nullptr);
  EXPECT_EQ(printed,
            "getdir path: D:\nReply of 67108865 bytes where 0 to 67108864 were expected.\n"
            "Error in getdir 2\n");
  EXPECT_EQ(plugged.BulkRequests(), (std::vector<uint32_t>{64, 4096}));
}

TEST_F(ListingCamera, LargestLengthIsTried) {
  auto device =
      std::make_shared<ScriptedDevice>(DataReply(EncodeListing(ExampleTree()), 64u << 20));
  PluggedDevice plugged(device);
  EXPECT_EQ(List(plugged, host, nullptr, &printed), nullptr);
  EXPECT_NE(printed.find("Could not get the directory listing (111/67108864).\n"),
            std::string::npos)
      << printed;
}

TEST_F(ListingCamera, NoInputPipeNoListNoMessage) {
  auto device = std::make_shared<sim::SimDevice>(sim::MakeEndpointlessSet(0x04A9, 0x3049));
  PluggedDevice plugged(device);
  EXPECT_EQ(List(plugged, host, nullptr, &printed), nullptr);
  EXPECT_EQ(printed, "");
  EXPECT_TRUE(plugged.Transfers().empty());
}

TEST_F(ListingCamera, PathTooLongForTheBufferIsNotSent) {
  PluggedDevice plugged(camera);
  std::string path(kCameraBufferSize, 'P');
  testing::internal::CaptureStderr();
  EXPECT_EQ(ixus_getdir(plugged.Device(), host.CameraBuffer(), path.c_str()), nullptr);
  std::string out = testing::internal::GetCapturedStderr();
  EXPECT_NE(out.find("Error in getdir 1\n"), std::string::npos);
  EXPECT_TRUE(plugged.Transfers().empty());
}

}  // namespace
}  // namespace listing_test
