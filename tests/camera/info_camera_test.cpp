// The camera information commands against the simulated camera.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "camera/ixus_info.h"
#include "tests/camera/camera_fixture.h"

namespace download_test {
namespace {

class CameraInformation : public listing_test::CameraCommandTest {
 protected:
  void Plug(const sim::CameraInfo& info) {
    camera->SetInfo(info);
    PlugCamera();
  }
};

TEST_F(CameraInformation, ReadsWhatTheCameraKnows) {
  sim::CameraInfo info;
  info.model = "Canon PowerShot S300";
  info.owner = "J\xF6rg";
  info.disk_total = 32 * 1024 * 1024;
  info.disk_free = 1234567;
  info.power_critical = true;
  info.on_adaptor = false;
  Plug(info);
  testing::internal::CaptureStderr();
  EXPECT_TRUE(ixus_identify(plugged->Device(), host.CameraBuffer()));
  EXPECT_TRUE(ixus_diskinfo(plugged->Device(), host.CameraBuffer(), "D:"));
  EXPECT_TRUE(ixus_powerinfo(plugged->Device(), host.CameraBuffer()));
  testing::internal::GetCapturedStderr();
  EXPECT_STREQ(host.facts.cameramodel, "Canon PowerShot S300");
  EXPECT_STREQ(host.facts.ownername, "J\xC3\xB6rg");
  EXPECT_EQ(host.facts.disktotal, 32u * 1024 * 1024);
  EXPECT_EQ(host.facts.diskfree, 1234567u);
  EXPECT_EQ(host.facts.powerflags, 1);
  ExpectCameraContent();
}

TEST_F(CameraInformation, OwnerNameGoesThereAndBack) {
  Plug({});
  EXPECT_TRUE(ixus_setowner(plugged->Device(), host.CameraBuffer(), "M\xC3\xBCller"));
  EXPECT_EQ(camera->Info().owner, "M\xFCller");
  EXPECT_TRUE(ixus_identify(plugged->Device(), host.CameraBuffer()));
  EXPECT_STREQ(host.facts.ownername, "M\xC3\xBCller");
  ExpectCameraContent();
}

TEST_F(CameraInformation, FullLengthModelIsKeptWhole) {
  sim::CameraInfo info;
  info.model = std::string(32, 'M');
  info.owner = std::string(32, '\xE9');
  Plug(info);
  EXPECT_TRUE(ixus_identify(plugged->Device(), host.CameraBuffer()));
  EXPECT_EQ(std::string(host.facts.cameramodel), std::string(32, 'M'));
  std::string expected;
  for (int i = 0; i < 32; i++) expected += "\xC3\xA9";
  EXPECT_EQ(std::string(host.facts.ownername), expected);
}

}  // namespace
}  // namespace download_test
