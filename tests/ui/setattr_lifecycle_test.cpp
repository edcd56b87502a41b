// Opening the attributes window: one window at a time, a fresh one after closing, and "Set"
// reaching the application.
#include <gtest/gtest.h>
#include <QApplication>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>

#include "app/messages.h"
#include "tests/ui/recording_app.h"
#include "tests/ui/window_look.h"
#include "ui/ptv_setattrWin.h"

namespace {

using uitest::Settle;

int OpenWindows() {
  int count = 0;
  for (QWidget* widget : QApplication::topLevelWidgets())
    count += dynamic_cast<ptv_setattrWin*>(widget) != nullptr ? 1 : 0;
  return count;
}

QRadioButton* Radio(ptv_setattrWin* window, const char* name) {
  return window->findChild<QRadioButton*>(QLatin1String(name));
}

class SetattrOpening : public testing::Test {
 protected:
  void TearDown() override {
    if (SetattrWindow() != nullptr) SetattrWindow()->close();
    Settle();
  }

  uitest::PinnedLook look_;
};

TEST_F(SetattrOpening, OpeningTwiceShowsOneWindow) {
  opensetattr();
  QPointer<ptv_setattrWin> first = SetattrWindow();
  ASSERT_FALSE(first.isNull());
  EXPECT_TRUE(first->isVisible());
  first->hide();
  opensetattr();
  Settle();
  EXPECT_EQ(SetattrWindow(), first.data());
  EXPECT_TRUE(first->isVisible());
  EXPECT_EQ(OpenWindows(), 1);
}

TEST_F(SetattrOpening, ClosingDestroysAndReopeningStartsOnIgnore) {
  opensetattr();
  QPointer<ptv_setattrWin> first = SetattrWindow();
  ASSERT_FALSE(first.isNull());
  Radio(first, "rbut3")->click();
  Radio(first, "rbut5")->click();
  first->close();
  Settle();
  EXPECT_TRUE(first.isNull());
  EXPECT_EQ(SetattrWindow(), nullptr);
  EXPECT_EQ(OpenWindows(), 0);

  opensetattr();
  ptv_setattrWin* second = SetattrWindow();
  ASSERT_NE(second, nullptr);
  EXPECT_TRUE(second->isVisible());
  EXPECT_TRUE(Radio(second, "rbut1")->isChecked());
  EXPECT_TRUE(Radio(second, "rbut4")->isChecked());
  EXPECT_FALSE(Radio(second, "rbut3")->isChecked());
  EXPECT_FALSE(Radio(second, "rbut5")->isChecked());
  EXPECT_EQ(second->DownloadedChoice(), kIgnore);
  EXPECT_EQ(second->ProtectedChoice(), kIgnore);
}

TEST_F(SetattrOpening, SetReachesTheApplication) {
  uitest::RecordingApp application;
  opensetattr();
  Radio(SetattrWindow(), "rbut6")->click();
  SetattrWindow()->findChild<QPushButton*>(QStringLiteral("okbut"))->click();
  std::vector<kit::Message> received = application.Received();
  ASSERT_EQ(received.size(), 1u);
  EXPECT_EQ(received[0].what, kApplyAttributes);
  int32_t downloaded = -1, protect = -1;
  EXPECT_TRUE(received[0].FindInt32("downloaded", &downloaded));
  EXPECT_TRUE(received[0].FindInt32("protected", &protect));
  EXPECT_EQ(downloaded, kIgnore);
  EXPECT_EQ(protect, kUnset);
}

TEST_F(SetattrOpening, SetGoesToTheApplicationOfTheMoment) {
  ASSERT_EQ(app, nullptr);
  opensetattr();
  auto* apply = SetattrWindow()->findChild<QPushButton*>(QStringLiteral("okbut"));
  // Nobody to tell: dropped.
  apply->click();
  {
    uitest::RecordingApp first;
    apply->click();
    EXPECT_EQ(first.Received().size(), 1u);
  }
  uitest::RecordingApp second;
  apply->click();
  apply->click();
  EXPECT_EQ(second.Received().size(), 2u);
}

}  // namespace
