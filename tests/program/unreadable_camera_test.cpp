// A Canon camera that pictrove cannot read is said where the list would be, until a camera's
// listing is read again.
#include <gtest/gtest.h>

#include "tests/program/ProgramFixture.h"
#include "ui/ptv_picListView.h"

namespace programtest {
namespace {

TEST_F(Program, ACanonCameraOutsideTheTableIsSaidInTheList) {
  StartWith(testsupport::CameraWith({}));
  const QString own = Window()->ListView()->EmptyText();
  testing::internal::CaptureStderr();
  platform_->Bus().Plug("/dev/bus/usb/001/003", std::make_shared<sim::SimCamera>(0x3080));
  ASSERT_TRUE(WaitFor([&] {
    return Window()->ListView()->EmptyText().startsWith(
        QStringLiteral("The Canon camera with product ID 0x3080 does not speak the protocol"));
  }));
  EXPECT_NE(testing::internal::GetCapturedStderr().find("0x3080 does not speak"),
            std::string::npos);
  // Plugged in again, a camera pictrove reads gives the list its own text back.
  testing::internal::CaptureStderr();
  platform_->Bus().Remove(kNode);
  platform_->Bus().Plug(kNode, camera_);
  ASSERT_TRUE(WaitFor([&] { return Window()->ListView()->EmptyText() == own; }));
  testing::internal::GetCapturedStderr();
}

}  // namespace
}  // namespace programtest
