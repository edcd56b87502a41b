// A Canon camera that pictrove cannot read is said where the list would be, until a camera's
// listing is read again.
#include <gtest/gtest.h>

#include <QFontMetrics>

#include "tests/program/ProgramFixture.h"
#include "tests/ui/window_look.h"
#include "ui/ptv_picListView.h"

namespace programtest {
namespace {

TEST_F(Program, ACanonCameraOutsideTheTableIsSaidInTheList) {
  StartWith(testsupport::CameraWith({}));
  ptv_picListView* view = Window()->ListView();
  const QString own = view->EmptyText();
  testing::internal::CaptureStderr();
  platform_->Bus().Plug("/dev/bus/usb/001/003", std::make_shared<sim::SimCamera>(0x3080));
  const QString sentence = QStringLiteral("The Canon camera with product ID 0x3080 does not");
  ASSERT_TRUE(WaitFor([&] { return view->EmptyText().startsWith(sentence); }));
  testing::internal::GetCapturedStderr();
  // Drawn in the middle of the empty list, wrapped onto lines, in a face that has its letters.
  Pump(100);
  const QImage image = view->viewport()->grab().toImage();
  const QRect ink =
      uitest::InkBounds(image, image.rect(), view->palette().color(QPalette::Base).rgb());
  EXPECT_NEAR(ink.center().y(), image.rect().center().y(), 10);
  EXPECT_GT(ink.height(), 30);
  for (QChar character : view->EmptyText())
    EXPECT_TRUE(QFontMetrics(view->font()).inFont(character));
  // A camera pictrove reads, plugged in again, gives the list its own text back.
  platform_->Bus().Remove(kNode);
  platform_->Bus().Plug(kNode, camera_);
  EXPECT_TRUE(WaitFor([&] { return view->EmptyText() == own; }));
}

}  // namespace
}  // namespace programtest
