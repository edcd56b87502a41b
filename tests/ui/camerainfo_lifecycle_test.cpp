// The camera information window as the application drives it: shown, refreshed, closed by
// the user, and driven from other threads.
#include <gtest/gtest.h>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>

#include <cstring>
#include <thread>

#include "tests/ui/window_look.h"
#include "ui/QtAppWindows.h"
#include "ui/ptv_camerainfoWin.h"

namespace {

using uitest::Settle;

CameraFacts Model(const char* model) {
  CameraFacts facts;
  std::strncpy(facts.cameramodel, model, sizeof facts.cameramodel - 1);
  return facts;
}

class CameraInfoLifecycle : public testing::Test {
 protected:
  QString ModelShown() {
    return windows_.CameraInfoWindow()->findChild<QLabel*>(QStringLiteral("cstview"))->text();
  }

  uitest::PinnedLook look_;
  QtAppWindows windows_;
};

TEST_F(CameraInfoLifecycle, ShowCreatesOnceThenActivatesTheSameWindow) {
  windows_.ShowCameraInfo(Model("PowerShot S10"));
  Settle();
  ptv_camerainfoWin* window = windows_.CameraInfoWindow();
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(window->isVisible());
  EXPECT_EQ(ModelShown(), QStringLiteral("PowerShot S10"));

  auto* owner = window->findChild<QLineEdit*>(QStringLiteral("owntext"));
  owner->setText(QStringLiteral("typed, not sent"));
  window->hide();
  windows_.ShowCameraInfo(Model("PowerShot S20"));
  Settle();
  EXPECT_EQ(windows_.CameraInfoWindow(), window);
  EXPECT_TRUE(window->isVisible());
  EXPECT_EQ(ModelShown(), QStringLiteral("PowerShot S10"));
  EXPECT_EQ(owner->text(), QStringLiteral("typed, not sent"));

  windows_.UpdateCameraInfo(Model("IXUS"));
  Settle();
  EXPECT_EQ(windows_.CameraInfoWindow(), window);
  EXPECT_EQ(ModelShown(), QStringLiteral("IXUS"));
}

TEST_F(CameraInfoLifecycle, UpdateWithoutAWindowCreatesNone) {
  windows_.UpdateCameraInfo(Model("PowerShot S10"));
  Settle();
  EXPECT_EQ(windows_.CameraInfoWindow(), nullptr);
}

TEST_F(CameraInfoLifecycle, ClosedByTheUserItGoesAndTheNextShowBuildsAFreshOne) {
  windows_.ShowCameraInfo(Model("PowerShot S10"));
  Settle();
  QPointer<ptv_camerainfoWin> closed = windows_.CameraInfoWindow();
  ASSERT_TRUE(closed);
  closed->close();
  EXPECT_EQ(windows_.CameraInfoWindow(), nullptr);
  windows_.UpdateCameraInfo(Model("after close"));
  Settle();
  EXPECT_TRUE(closed.isNull());
  EXPECT_EQ(windows_.CameraInfoWindow(), nullptr);

  windows_.ShowCameraInfo(Model("PowerShot S20"));
  Settle();
  ASSERT_NE(windows_.CameraInfoWindow(), nullptr);
  EXPECT_TRUE(windows_.CameraInfoWindow()->isVisible());
  EXPECT_EQ(ModelShown(), QStringLiteral("PowerShot S20"));
}

TEST_F(CameraInfoLifecycle, CallsFromAnotherThreadShowTheFactsAsTheyWereWhenCalled) {
  std::thread worker([this] {
    CameraFacts facts = Model("PowerShot S10");
    windows_.ShowCameraInfo(facts);
    std::strcpy(facts.cameramodel, "changed later");
  });
  worker.join();
  EXPECT_EQ(windows_.CameraInfoWindow(), nullptr);
  Settle();
  ASSERT_NE(windows_.CameraInfoWindow(), nullptr);
  EXPECT_EQ(windows_.CameraInfoWindow()->thread(), QCoreApplication::instance()->thread());
  EXPECT_EQ(ModelShown(), QStringLiteral("PowerShot S10"));
}

}  // namespace
