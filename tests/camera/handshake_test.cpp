#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "camera/ixus_command.h"
#include "camera/ixus_init.h"
#include "kit/Platform.h"
#include "sim/SimCamera.h"
#include "sim/SimPlatform.h"
#include "tests/camera/thumbs_host.h"
#include "tests/support/AlertRecorder.h"
#include "usb/USBDevice.h"

namespace {

using testing::HasSubstr;
using testing::internal::CaptureStderr;
using testing::internal::GetCapturedStderr;

constexpr char kNode[] = "/dev/bus/usb/001/002";

class Handshake : public testing::Test {
 protected:
  void SetUp() override {
    platform_ = std::make_shared<sim::SimPlatform>();
    kit::InstallPlatform(platform_);
    flashdevice[0] = '\0';
  }
  void TearDown() override { kit::InstallPlatform(nullptr); }

  std::shared_ptr<sim::SimCamera> Plug(uint16_t product = 0x3049) {
    auto camera = std::make_shared<sim::SimCamera>(product);
    camera->AddFile("100CANON", {"IMG_0001.JPG", 0x20, 1000, {0xFF, 0xD8, 0xFF, 0xD9}});
    platform_->Bus().Plug(kNode, camera);
    return camera;
  }

  // The command codes of the command blocks the camera was sent.
  static std::vector<int> CommandCodes(const sim::SimCamera& camera) {
    std::vector<int> codes;
    for (const sim::TransferRecord& record : camera.Transfers())
      if (record.kind == sim::TransferKind::kControl && record.value == 0x10 &&
          record.data.size() >= 80)
        codes.push_back(record.data[68]);
    return codes;
  }

  std::shared_ptr<sim::SimPlatform> platform_;
  listing_test::RecordingHost host_;
  testsupport::AlertRecorder alerts_;
};

TEST_F(Handshake, FourTransfersByteForByte) {
  auto camera = Plug();
  USBDevice device(kNode);
  CaptureStderr();
  ASSERT_TRUE(ixus_init(&device, true));
  GetCapturedStderr();
  std::vector<sim::TransferRecord> log = camera->Transfers();
  ASSERT_GE(log.size(), 4u);
  EXPECT_EQ(log[0].kind, sim::TransferKind::kControl);
  EXPECT_EQ(log[0].request_type, 0xC0);
  EXPECT_EQ(log[0].request, 0x0C);
  EXPECT_EQ(log[0].value, 0x55);
  EXPECT_EQ(log[0].requested, 1u);
  EXPECT_EQ(log[1].request_type, 0xC0);
  EXPECT_EQ(log[1].request, 0x04);
  EXPECT_EQ(log[1].value, 0x01);
  EXPECT_EQ(log[1].requested, 88u);
  ASSERT_EQ(log[1].data.size(), 88u);
  EXPECT_EQ(log[2].request_type, 0x40);
  EXPECT_EQ(log[2].request, 0x04);
  EXPECT_EQ(log[2].value, 0x11);
  // The third transfer sends back bytes 72 to 87 of the second's answer.
  EXPECT_EQ(log[2].data, std::vector<uint8_t>(log[1].data.begin() + 72, log[1].data.end()));
  EXPECT_EQ(log[3].kind, sim::TransferKind::kBulk);
  EXPECT_EQ(log[3].endpoint, 0x81);
  EXPECT_EQ(log[3].requested, 68u);
  EXPECT_EQ(camera->EchoMatched(), std::optional<bool>(true));
  EXPECT_TRUE(alerts_.Texts().empty());
  EXPECT_EQ(host_.ProductID(), 0x3049);
  EXPECT_STREQ(flashdevice, "D:");
  // The pictures are in the list.
  ASSERT_EQ(host_.items.size(), 1u);
  EXPECT_STREQ(host_.items[0]->GetName(), "D:\\DCIM\\100CANON\\IMG_0001.JPG");
}

TEST_F(Handshake, EachFailingStepIsShownAndStopsTheStart) {
  for (int step = 1; step <= 4; step++) {
    SCOPED_TRACE(step);
    auto camera = Plug();
    camera->FailTransfer(camera->TransferCount() + step);
    USBDevice device(kNode);
    CaptureStderr();
    EXPECT_FALSE(ixus_init(&device, true));
    EXPECT_EQ(GetCapturedStderr(), "Error in init " + std::to_string(step) + "\n");
    ASSERT_EQ(alerts_.Requests().size(), size_t(step));
    kit::AlertRequest alert = alerts_.Requests().back();
    EXPECT_EQ(alert.title, "pictrove error");
    EXPECT_EQ(alert.text, "Could not initialize the camera (" + std::to_string(step) + ")");
    EXPECT_EQ(alert.buttons, std::vector<std::string>{"Ok"});
    EXPECT_TRUE(host_.calls.empty());
    platform_->Bus().Remove(kNode);
  }
}

TEST_F(Handshake, UnsupportedProductsAndOtherVendorsAreLeftAlone) {
  auto camera = Plug(0x3042);
  USBDevice device(kNode);
  CaptureStderr();
  EXPECT_FALSE(ixus_init(&device, true));
  EXPECT_THAT(GetCapturedStderr(), HasSubstr("product ID 0x3042 does not speak the protocol"));
  EXPECT_EQ(host_.ProductID(), 0x3042);  // remembered even so
  EXPECT_TRUE(alerts_.Texts().empty());
  EXPECT_EQ(camera->Handshakes(), 0);
  EXPECT_EQ(camera->ActiveConfiguration(), 0);  // the first configuration was selected
}

TEST_F(Handshake, DevicesWithoutAnInputPipeAreToldOnStandardError) {
  auto mouse = std::make_shared<sim::SimDevice>(sim::MakeEndpointlessSet(0x046D, 0xC077));
  platform_->Bus().Plug(kNode, mouse);
  USBDevice device(kNode);
  CaptureStderr();
  EXPECT_FALSE(ixus_init(&device, true));
  EXPECT_EQ(GetCapturedStderr(), "did not get an input endpoint.\n");
  EXPECT_EQ(mouse->ActiveConfiguration(), 0);
  EXPECT_EQ(host_.ProductID(), 0);
}

TEST_F(Handshake, WithoutLoadingPicturesTheResultIsFalse) {
  auto camera = Plug();
  USBDevice device(kNode);
  EXPECT_FALSE(ixus_init(&device, false));
  EXPECT_EQ(camera->Handshakes(), 1);
  EXPECT_TRUE(CommandCodes(*camera).empty());
}

TEST_F(Handshake, TheG1IsNotAskedForItsFlashDeviceName) {
  auto camera = Plug(kG1Product);
  USBDevice device(kNode);
  CaptureStderr();
  EXPECT_TRUE(ixus_init(&device, true));
  std::string said = GetCapturedStderr();
  EXPECT_THAT(said, HasSubstr("G1 detected, skipping flash device name check.\n"));
  EXPECT_THAT(said, HasSubstr("getdir path: D:\n"));
  EXPECT_EQ(CommandCodes(*camera).front(), 11);  // the listing comes first
}

TEST_F(Handshake, ALongFlashDeviceNameIsCutTo19Characters) {
  auto camera = Plug();
  camera->SetDriveName("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123");  // 30 characters
  USBDevice device(kNode);
  CaptureStderr();
  ixus_init(&device, true);
  GetCapturedStderr();
  EXPECT_STREQ(flashdevice, "ABCDEFGHIJKLMNOPQRS");
}

TEST_F(Handshake, FlashDeviceNameFailuresFallBackToTheDefaultDrive) {
  auto camera = Plug();
  USBDevice device(kNode);
  device.SetConfiguration(device.ConfigurationAt(0));
  camera->FailTransfer(camera->TransferCount() + 1);
  CaptureStderr();
  EXPECT_EQ(ixus_flashdevice(&device, host_.CameraBuffer()), nullptr);
  EXPECT_EQ(GetCapturedStderr(), "Could not get flash device name (1).\n");
  camera->FailTransfer(camera->TransferCount() + 2);
  CaptureStderr();
  EXPECT_EQ(ixus_flashdevice(&device, host_.CameraBuffer()), nullptr);
  EXPECT_EQ(GetCapturedStderr(), "Could not get flash device name (2).\n");
}

TEST(CommandBlock, LayoutOfTheFlashDeviceNameCommand) {
  unsigned char buffer[96];
  memset(buffer, 0xEE, sizeof buffer);
  fillcmdblk(buffer, 16, 10, 0x11, 0x202, 0x12345678);
  unsigned char expected[80] = {};
  expected[0] = 0x10;
  expected[4] = 0x02;
  expected[5] = 0x02;
  expected[64] = 0x02;
  expected[68] = 0x0A;
  expected[71] = 0x11;
  expected[72] = 0x10;
  expected[76] = 0x78;
  expected[77] = 0x56;
  expected[78] = 0x34;
  expected[79] = 0x12;
  EXPECT_EQ(std::vector<unsigned char>(buffer, buffer + 80),
            std::vector<unsigned char>(expected, expected + 80));
  EXPECT_EQ(buffer[80], 0xEE);  // nothing written past the block
  EXPECT_EQ(ixus_request(0), 0x0C);
  EXPECT_EQ(ixus_request(1), 0x0C);
  EXPECT_EQ(ixus_request(2), 0x04);
}

TEST(CommandBlock, SupportedProducts) {
  int supported = 0;
  for (uint32_t product = 0x3000; product < 0x3100; product++)
    supported += ixus_supported(uint16_t(product));
  EXPECT_EQ(supported, 33);
  EXPECT_TRUE(ixus_supported(0x3071) && ixus_supported(0x3046) && ixus_supported(0x30C2));
  EXPECT_FALSE(ixus_supported(0x3042));
}

}  // namespace
