#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "app/messages.h"
#include "camera/ixus_init.h"
#include "tests/app/CameraSession.h"

namespace {

using apptest::CameraSession;
using apptest::Eventually;
using testing::Contains;

class CameraInformation : public CameraSession {};

TEST_F(CameraInformation, ReadsTheCameraAndShowsTheWindow) {
  auto camera = std::make_shared<sim::SimCamera>();
  sim::CameraInfo info = camera->Info();
  info.model = "Canon PowerShot S10";
  info.owner = "M\xfcller";  // Latin-1 on the camera
  info.disk_total = 0x04000000;
  info.disk_free = 0x01800000;
  info.power_critical = true;
  info.on_adaptor = true;
  camera->SetInfo(info);
  StartWith(camera);
  testing::internal::CaptureStderr();
  OnAppThread([] { app->opencamerainfo(); });
  testing::internal::GetCapturedStderr();
  ASSERT_THAT(windows_.Calls(), Contains("show info"));
  std::lock_guard<std::mutex> guard(windows_.mutex_);
  EXPECT_STREQ(windows_.shown_facts.cameramodel, "Canon PowerShot S10");
  EXPECT_STREQ(windows_.shown_facts.ownername, "M\xc3\xbcller");
  EXPECT_EQ(windows_.shown_facts.disktotal, 0x04000000u);
  EXPECT_EQ(windows_.shown_facts.diskfree, 0x01800000u);
  EXPECT_EQ(windows_.shown_facts.powerflags, 3);
}

// The clock is read with the facts; a set that gets no answer alerts.
TEST_F(CameraInformation, TheClockIsReadAndASetWithoutAnswerAlerts) {
  auto camera = std::make_shared<sim::SimCamera>();
  StartWith(camera);
  testing::internal::CaptureStderr();
  OnAppThread([] { app->opencamerainfo(); });
  {
    std::lock_guard<std::mutex> guard(windows_.mutex_);
    EXPECT_TRUE(windows_.shown_facts.clock_read);
    EXPECT_NEAR(double(windows_.shown_facts.clock_ahead), 0.0, 1.0);
  }
  camera->FailTransfer(camera->TransferCount() + 1);
  OnAppThread([] { EXPECT_FALSE(app->SetCameraClock()); });
  testing::internal::GetCapturedStderr();
  EXPECT_THAT(alerts_.Texts(), Contains("The camera's clock could not be set."));
}

TEST_F(CameraInformation, WithoutACameraNothingIsShown) {
  StartWith(std::make_shared<sim::SimCamera>());
  Bus().Remove(kNode);
  ASSERT_TRUE(Eventually([] { return app->CurrentCamera() == nullptr; }));
  OnAppThread([] { app->opencamerainfo(); });
  EXPECT_THAT(windows_.Calls(), testing::Not(Contains("show info")));
}

TEST_F(CameraInformation, TheOwnerNameGoesToTheCameraAndIsKeptCut) {
  StartWith(std::make_shared<sim::SimCamera>());
  std::string forty(40, 'x');
  kit::Message set(kSetOwner);
  set.AddString("name", forty);
  testing::internal::CaptureStderr();
  app->PostMessage(set);
  ASSERT_TRUE(Eventually([&] { return camera_->Info().owner == std::string(31, 'x'); }));
  ASSERT_TRUE(Eventually([] {
    std::string kept;
    app->OpenCamera();  // the facts are guarded by the camera lock
    kept = app->facts.ownername;
    app->CloseCamera();
    return kept == std::string(32, 'x');
  }));
  testing::internal::GetCapturedStderr();
}

TEST_F(CameraInformation, DeletingAnswersWhetherThePictureIsGone) {
  auto camera = std::make_shared<sim::SimCamera>();
  camera->AddFile("100CANON", {"IMG_0001.JPG", 0x20, 1000, {0xFF, 0xD8, 0xFF, 0xD9}});
  StartWith(camera);
  bool deleted = false;
  testing::internal::CaptureStderr();
  OnAppThread([&] { deleted = app->Deletepic("D:\\DCIM\\100CANON\\IMG_0001.JPG"); });
  EXPECT_THAT(testing::internal::GetCapturedStderr(),
              testing::HasSubstr("\nDelete D:\\DCIM\\100CANON\\IMG_0001.JPG\n"));
  EXPECT_TRUE(deleted);
  EXPECT_FALSE(camera->FindFile("D:\\DCIM\\100CANON\\IMG_0001.JPG").has_value());
  // The camera refuses to delete what it does not hold; its listing says the picture is gone.
  testing::internal::CaptureStderr();
  OnAppThread([&] { deleted = app->Deletepic("D:\\DCIM\\100CANON\\IMG_0001.JPG"); });
  testing::internal::GetCapturedStderr();
  EXPECT_TRUE(deleted);
  // A protected picture stays, and so does its row.
  camera->AddFile("100CANON", {"IMG_0002.JPG", 0x21, 1000, {0xFF, 0xD8, 0xFF, 0xD9}});
  testing::internal::CaptureStderr();
  OnAppThread([&] { deleted = app->Deletepic("D:\\DCIM\\100CANON\\IMG_0002.JPG"); });
  testing::internal::GetCapturedStderr();
  EXPECT_FALSE(deleted);
}

}  // namespace
