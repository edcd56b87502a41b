#include "sim/SimCamera.h"

#include <gtest/gtest.h>

#include "sim/Bytes.h"
#include "tests/sim/CameraHost.h"

namespace {

using simtest::CameraHost;

bool Noted(const sim::SimCamera& camera, const std::string& part) {
  for (const std::string& problem : camera.Problems())
    if (problem.find(part) != std::string::npos) return true;
  return false;
}

std::vector<uint8_t> Bytes(std::initializer_list<int> values) {
  return std::vector<uint8_t>(values.begin(), values.end());
}

std::vector<uint8_t> Concat(std::initializer_list<std::vector<uint8_t>> parts) {
  std::vector<uint8_t> all;
  for (const auto& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

std::vector<uint8_t> Chars(const char* text) {
  std::string s(text);
  return std::vector<uint8_t>(s.begin(), s.end() + 1);  // with the NUL
}

TEST(SimCamera, LooksLikeTheCameraOnTheBus) {
  sim::SimCamera camera(0x3048);
  uint8_t d[18];
  ASSERT_TRUE(camera.DeviceDescriptor(d).Ok());
  EXPECT_EQ(d[8] | d[9] << 8, 0x04A9);
  EXPECT_EQ(d[10] | d[11] << 8, 0x3048);
  EXPECT_EQ(d[17], 1);
  uint8_t e[7];
  const uint8_t addresses[] = {0x81, 0x02, 0x83};
  const uint8_t types[] = {2, 2, 3};
  for (uint32_t k = 0; k < 3; ++k) {
    ASSERT_TRUE(camera.EndpointDescriptor(0, 0, k, e).Ok());
    EXPECT_EQ(e[2], addresses[k]);
    EXPECT_EQ(e[3] & 3, types[k]);
  }
  EXPECT_FALSE(camera.EndpointDescriptor(0, 0, 3, e).Ok());
  uint8_t s[255];
  uint32_t length = sizeof s;
  ASSERT_TRUE(camera.StringDescriptor(d[14], s, &length).Ok());
  EXPECT_GT(length, 2u);
}

TEST(SimCamera, HandshakeWithTheRightEchoIsAnswered) {
  CameraHost host;
  EXPECT_FALSE(host.Camera().EchoMatched().has_value());
  ASSERT_TRUE(host.Handshake());
  EXPECT_EQ(host.Camera().EchoMatched(), true);
  EXPECT_EQ(host.Camera().Handshakes(), 1);
  EXPECT_TRUE(host.Camera().Problems().empty());

  std::vector<sim::TransferRecord> log = host.Camera().Transfers();
  ASSERT_EQ(log.size(), 4u);
  const std::vector<uint8_t>& challenge = log[1].data;
  ASSERT_EQ(challenge.size(), 88u);
  // The challenge varies but for the transfer size it states.
  for (size_t i = 72; i < 88; ++i) EXPECT_TRUE(challenge[i] != 0 || (i >= 0x4C && i <= 0x4F)) << i;
  EXPECT_EQ(log[2].data, std::vector<uint8_t>(challenge.begin() + 72, challenge.end()));
  EXPECT_EQ(log[3].transferred, 68u);
}

TEST(SimCamera, ChallengesDifferBetweenHandshakes) {
  CameraHost host;
  ASSERT_TRUE(host.Handshake());
  ASSERT_TRUE(host.Handshake());
  std::vector<sim::TransferRecord> log = host.Camera().Transfers();
  ASSERT_EQ(log.size(), 8u);
  EXPECT_NE(std::vector<uint8_t>(log[1].data.begin() + 72, log[1].data.end()),
            std::vector<uint8_t>(log[5].data.begin() + 72, log[5].data.end()));
}

TEST(SimCamera, AWrongEchoIsNoticedAndLeavesTheLastStepUnanswered) {
  CameraHost host;
  EXPECT_FALSE(host.Handshake(56));
  EXPECT_EQ(host.Camera().EchoMatched(), false);
  EXPECT_EQ(host.Camera().Handshakes(), 0);
  EXPECT_TRUE(Noted(host.Camera(), "echo"));
}

TEST(SimCamera, AnswersTheFlashDeviceName) {
  CameraHost host;
  host.Camera().SetDriveName("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123");
  ASSERT_TRUE(host.Handshake());
  ASSERT_TRUE(host.Send(simtest::FlashNameCommand()));
  std::vector<uint8_t> header;
  ASSERT_TRUE(host.Read(64, &header));
  ASSERT_EQ(header.size(), 64u);
  EXPECT_EQ(header[6], 31);  // 30 characters and the NUL
  EXPECT_EQ(header[7] | header[8] | header[9], 0);
  std::vector<uint8_t> name;
  ASSERT_TRUE(host.Read(31, &name));
  EXPECT_EQ(name, Chars("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123"));
  EXPECT_EQ(host.Camera().PendingReply(), 0u);
  EXPECT_TRUE(host.Camera().Problems().empty());
}

TEST(SimCamera, ListsItsContentInCameraOrderByteForByte) {
  CameraHost host;
  sim::SimCamera& camera = host.Camera();
  camera.AddFile("100CANON", {"IMG_0001.JPG", 0x20, 0x3B2A1F00, {1, 2, 3}});
  camera.AddFile("100CANON", {"MVI_0002.AVI", 0x01, 5, {4, 5}});
  camera.AddFile("101CANON", {"IMG_0100.JPG", 0x00, 0x01020304, std::vector<uint8_t>(0x1234)});
  ASSERT_TRUE(host.Send(simtest::ListingCommand("D:")));
  std::vector<uint8_t> listing;
  ASSERT_TRUE(host.ReadDataReply(&listing, 1024));

  std::vector<uint8_t> folder_fields = Bytes({0x10, 0, 0, 0, 0, 0, 0, 0, 0, 0});
  std::vector<uint8_t> expected = Concat({
      folder_fields,
      Chars("D:"),
      folder_fields,
      Chars(".\\DCIM"),
      folder_fields,
      Chars(".\\100CANON"),
      Bytes({0x20, 0, 3, 0, 0, 0, 0x00, 0x1F, 0x2A, 0x3B}),
      Chars("IMG_0001.JPG"),
      Bytes({0x01, 0, 2, 0, 0, 0, 5, 0, 0, 0}),
      Chars("MVI_0002.AVI"),
      folder_fields,
      Chars(".."),
      folder_fields,
      Chars(".\\101CANON"),
      Bytes({0x00, 0, 0x34, 0x12, 0, 0, 4, 3, 2, 1}),
      Chars("IMG_0100.JPG"),
      folder_fields,
      Chars(".."),
      folder_fields,
      Chars(".."),
      Bytes({0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}),
  });
  EXPECT_EQ(listing, expected);
  EXPECT_TRUE(camera.Problems().empty());
}

TEST(SimCamera, ListingOfAPathItDoesNotHoldIsEmpty) {
  CameraHost host;
  ASSERT_TRUE(host.Send(simtest::ListingCommand("E:")));
  std::vector<uint8_t> listing;
  ASSERT_TRUE(host.ReadDataReply(&listing));
  EXPECT_TRUE(listing.empty());
  EXPECT_TRUE(Noted(host.Camera(), "E:"));
}

// Each malformed command is answered with nothing (the next read fails) and noted with
// a reason that contains `reason`.
void ExpectSilence(const std::vector<uint8_t>& command, const std::string& reason) {
  CameraHost host;
  host.Camera().AddFile("100CANON", {"IMG_0001.JPG", 0x20, 1, {0xFF, 0xD8, 0xFF, 0xD9}});
  ASSERT_TRUE(host.Send(command)) << reason;
  std::vector<uint8_t> reply;
  EXPECT_FALSE(host.Read(64, &reply)) << reason;
  EXPECT_EQ(host.Camera().Problems().size(), 1u) << reason;
  EXPECT_TRUE(Noted(host.Camera(), reason)) << reason;
}

TEST(SimCamera, MalformedCommandsGetNoAnswer) {
  std::vector<uint8_t> good = simtest::PictureCommand("D:\\DCIM\\100CANON\\IMG_0001.JPG", 1);
  {
    CameraHost host;
    host.Camera().AddFile("100CANON", {"IMG_0001.JPG", 0x20, 1, {0xFF, 0xD8, 0xFF, 0xD9}});
    ASSERT_TRUE(host.Send(good));
    std::vector<uint8_t> data;
    EXPECT_TRUE(host.ReadDataReply(&data)) << "the unbroken command is answered";
  }
  auto broken = [&](size_t at, uint8_t value) {
    std::vector<uint8_t> copy = good;
    copy[at] = value;
    return copy;
  };
  ExpectSilence(broken(72, good[72] + 1), "length words at 0 and 72 differ");
  ExpectSilence(broken(64, 0x03), "byte 64");
  ExpectSilence(broken(4, 0x03), "unknown request word");
  ExpectSilence(broken(5, 0x03), "unknown request word");
  ExpectSilence(broken(4, 0x01), "wrong request word");
  ExpectSilence(broken(20, 0x01), "reserved bytes");
  ExpectSilence(broken(85, 0x10), "malformed picture data payload");
  ExpectSilence(broken(80, 0x02), "malformed picture data payload");
  ExpectSilence(broken(68, 0x63), "unknown command 99");
  ExpectSilence(std::vector<uint8_t>(good.begin(), good.begin() + 70), "shorter than its block");
  std::vector<uint8_t> longer = good;
  longer.push_back(0);
  ExpectSilence(longer, "does not fit a transfer of 119");
  ExpectSilence(simtest::PictureCommand("D:\\DCIM\\100CANON\\IMG_0002.JPG", 1), "no picture at");
  std::vector<uint8_t> listing = simtest::ListingCommand("D:");
  listing[80] = 0x01;
  ExpectSilence(listing, "malformed directory listing payload");
  std::vector<uint8_t> flash = simtest::FlashNameCommand();
  flash.push_back(0);
  flash[0] = flash[72] = 17;
  ExpectSilence(flash, "flash device name command with a payload");
}

// Only a JPEG picture has a thumbnail to answer with (a thumbnail file is asked for whole):
// anything else gets an error status, and the request is noted.
TEST(SimCamera, ThumbnailOfAnythingButAPictureIsRefused) {
  for (const char* name : {"MVI_0002.THM", "IMG_0003.jpg", "MVI_0002.AVI"}) {
    CameraHost host;
    host.Camera().AddFile("100CANON", {name, 0x20, 1, {0xFF, 0xD8, 0xFF, 0xD9}});
    ASSERT_TRUE(host.Send(simtest::PictureCommand(std::string("D:\\DCIM\\100CANON\\") + name, 1)));
    std::vector<uint8_t> reply;
    ASSERT_TRUE(host.Read(84, &reply)) << name;
    EXPECT_EQ(sim::ReadLittle32(&reply[80]), 0x0200008Au) << name;
    EXPECT_TRUE(Noted(host.Camera(), "which is not a JPEG picture")) << name;
  }
}

TEST(SimCamera, ShortCommandTransferIsMalformed) {
  CameraHost host;
  host.Camera().ShortenTransfer(host.Camera().TransferCount() + 1, 40);
  ASSERT_TRUE(host.Send(simtest::FlashNameCommand()));
  std::vector<uint8_t> reply;
  EXPECT_FALSE(host.Read(64, &reply));
  EXPECT_TRUE(Noted(host.Camera(), "shorter than its block"));
}

TEST(SimCamera, UnreadReplyBytesStayQueuedAndAreNoticed) {
  CameraHost host;
  ASSERT_TRUE(host.Send(simtest::FlashNameCommand()));
  std::vector<uint8_t> header;
  ASSERT_TRUE(host.Read(64, &header));  // the name is left unread
  ASSERT_TRUE(host.Send(simtest::FlashNameCommand()));
  EXPECT_TRUE(Noted(host.Camera(), "left unread"));
  std::vector<uint8_t> next;
  ASSERT_TRUE(host.Read(3, &next));
  EXPECT_EQ(next, Chars("D:")) << "the old reply comes first";
  EXPECT_EQ(host.Camera().PendingReply(), 64u + 3);
}

TEST(SimCamera, UnknownControlRequestsStall) {
  CameraHost host;
  uint8_t data[4] = {};
  uint16_t length = 4;
  kit::RawReply reply = host.Node().ControlTransfer(0xC0, 0x04, 0x99, 0, &length, data);
  EXPECT_EQ(reply.call, 0);
  EXPECT_NE(reply.status, 0u);
  EXPECT_TRUE(Noted(host.Camera(), "unknown control request"));
}

TEST(SimCamera, OnlyTheInputPipeAnswers) {
  CameraHost host;
  ASSERT_TRUE(host.Send(simtest::FlashNameCommand()));
  uint8_t data[64];
  uint32_t length = sizeof data;
  EXPECT_FALSE(host.Node().BulkTransfer(0, 1, data, &length).Ok());
  length = sizeof data;
  EXPECT_FALSE(host.Node().InterruptTransfer(0, 2, data, &length).Ok());
  EXPECT_EQ(host.Camera().PendingReply(), 64u + 3) << "the reply is still there";
}

TEST(SimCamera, UnplugInTheMiddleOfAReplyFailsTheRest) {
  CameraHost host;
  host.Camera().AddFile("100CANON", {"IMG_0001.JPG", 0x20, 1, std::vector<uint8_t>(10000, 7)});
  ASSERT_TRUE(host.Send(simtest::PictureCommand("D:\\DCIM\\100CANON\\IMG_0001.JPG", 0)));
  host.Camera().UnplugAtTransfer(host.Camera().TransferCount() + 3);
  std::vector<uint8_t> part;
  ASSERT_TRUE(host.Read(64, &part));
  ASSERT_TRUE(host.Read(4096, &part));
  EXPECT_FALSE(host.Read(4096, &part));
  EXPECT_FALSE(host.Read(4096, &part));
  EXPECT_TRUE(host.Camera().IsGone());
}

TEST(SimCamera, FullPictureRequestSendsTheWholeFileOfAnyKind) {
  for (const char* name : {"IMG_0001.JPG", "MVI_0002.AVI", "MVI_0002.THM", "IMG_0001.WAV",
                           "CRW_0003.CRW", "README.TXT"}) {
    CameraHost host;
    std::vector<uint8_t> file(9000);
    for (size_t i = 0; i < file.size(); ++i) file[i] = uint8_t(i * 7);
    host.Camera().AddFile("100CANON", {name, 0x20, 1, file});
    ASSERT_TRUE(host.Send(simtest::PictureCommand(std::string("D:\\DCIM\\100CANON\\") + name, 0)));
    std::vector<uint8_t> data;
    ASSERT_TRUE(host.ReadDataReply(&data, 4096)) << name;
    EXPECT_EQ(data, file) << name;
    EXPECT_TRUE(host.Camera().Problems().empty()) << name;
  }
}

TEST(SimCamera, ReplugForgetsHalfReadReplies) {
  sim::SimPlatform platform;
  auto camera = std::make_shared<sim::SimCamera>();
  platform.Bus().Plug("/dev/bus/usb/001/002", camera);
  auto node = platform.Usb().Open("/dev/bus/usb/001/002");
  node->SetConfiguration(0);
  std::vector<uint8_t> command = simtest::FlashNameCommand();
  uint16_t length = uint16_t(command.size());
  ASSERT_TRUE(node->ControlTransfer(0x40, 4, 0x10, 0, &length, command.data()).Ok());
  EXPECT_GT(camera->PendingReply(), 0u);
  platform.Bus().Remove("/dev/bus/usb/001/002");
  platform.Bus().Plug("/dev/bus/usb/001/003", camera);
  EXPECT_EQ(camera->PendingReply(), 0u);
}

}  // namespace
