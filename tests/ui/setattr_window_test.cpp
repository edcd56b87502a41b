// The attributes window: its controls where they belong, the two exclusive groups, and the
// choices that "Set" posts.
#include <gtest/gtest.h>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>

#include <memory>
#include <string>
#include <vector>

#include "app/messages.h"
#include "tests/ui/recording_looper.h"
#include "tests/ui/window_look.h"
#include "ui/ptv_setattrWin.h"

namespace {

struct Posted {
  int32_t downloaded;
  int32_t protect;
};

std::vector<Posted> Choices(const std::vector<kit::Message>& messages) {
  std::vector<Posted> posted;
  for (const kit::Message& message : messages) {
    EXPECT_EQ(message.what, kApplyAttributes);
    Posted choice{-1, -1};
    EXPECT_TRUE(message.FindInt32("downloaded", &choice.downloaded));
    EXPECT_TRUE(message.FindInt32("protected", &choice.protect));
    posted.push_back(choice);
  }
  return posted;
}

class SetattrControls : public testing::Test {
 protected:
  void SetUp() override { window_ = std::make_unique<ptv_setattrWin>(looper_.Target()); }

  template <typename Widget>
  Widget* Child(const char* name) {
    auto* child = window_->findChild<Widget*>(QLatin1String(name));
    EXPECT_NE(child, nullptr) << name;
    return child;
  }
  QRadioButton* Radio(int number) {
    return Child<QRadioButton>(("rbut" + std::to_string(number)).c_str());
  }
  std::vector<bool> Checked() {
    std::vector<bool> checked;
    for (int number = 1; number <= 6; ++number) checked.push_back(Radio(number)->isChecked());
    return checked;
  }
  // One press of "Set", and what it posted.
  Posted Apply() {
    Child<QPushButton>("okbut")->click();
    std::vector<Posted> posted = Choices(looper_.Taken());
    EXPECT_EQ(posted.size(), 1u);
    return posted.empty() ? Posted{-1, -1} : posted[0];
  }

  uitest::PinnedLook look_;
  uitest::RecordingLooper looper_;
  std::unique_ptr<ptv_setattrWin> window_;
};

TEST_F(SetattrControls, HasItsTitleAndFixedFrame) {
  EXPECT_EQ(window_->windowTitle(), QStringLiteral("pictrove setattr"));
  EXPECT_EQ(window_->geometry(), QRect(100, 100, 301, 171));
  EXPECT_EQ(window_->minimumSize(), QSize(301, 171));
  EXPECT_EQ(window_->maximumSize(), QSize(301, 171));
  EXPECT_TRUE(window_->testAttribute(Qt::WA_DeleteOnClose));
  EXPECT_FALSE(window_->isVisible());
  auto* view = Child<QWidget>("ptv_view");
  EXPECT_EQ(view->parentWidget(), window_.get());
  EXPECT_EQ(view->geometry(), QRect(0, 0, 301, 171));
  EXPECT_TRUE(view->autoFillBackground());
}

TEST_F(SetattrControls, BoxesHoldTheirButtons) {
  struct Box {
    const char* name;
    const char* title;
    QRect frame;
    int first;
  };
  for (const Box& expected : {Box{"dwn_view", "Downloaded", QRect(5, 20, 291, 41), 1},
                              Box{"prt_view", "Delete protected", QRect(5, 80, 291, 41), 4}}) {
    auto* box = Child<QGroupBox>(expected.name);
    EXPECT_EQ(box->title(), QLatin1String(expected.title));
    EXPECT_EQ(box->geometry(), expected.frame);
    EXPECT_EQ(box->parentWidget()->objectName(), QStringLiteral("ptv_view"));
    const char* labels[] = {"Ignore", "Set", "Unset"};
    const QRect frames[] = {QRect(5, 15, 91, 16), QRect(110, 15, 86, 16), QRect(200, 15, 86, 16)};
    for (int i = 0; i < 3; ++i) {
      QRadioButton* button = Radio(expected.first + i);
      EXPECT_EQ(button->parentWidget(), box) << expected.first + i;
      EXPECT_EQ(button->text(), QLatin1String(labels[i]));
      EXPECT_EQ(button->geometry(), frames[i]);
    }
  }
  auto* apply = Child<QPushButton>("okbut");
  EXPECT_EQ(apply->text(), QStringLiteral("Set"));
  EXPECT_EQ(apply->geometry(), QRect(5, 140, 96, 21));
  EXPECT_EQ(apply->parentWidget()->objectName(), QStringLiteral("ptv_view"));
}

TEST_F(SetattrControls, StartsOnIgnoreInBothGroups) {
  EXPECT_EQ(Checked(), (std::vector<bool>{true, false, false, true, false, false}));
  EXPECT_EQ(window_->DownloadedChoice(), kIgnore);
  EXPECT_EQ(window_->ProtectedChoice(), kIgnore);
}

TEST_F(SetattrControls, EachBoxIsOneExclusiveGroup) {
  Radio(2)->click();
  EXPECT_EQ(Checked(), (std::vector<bool>{false, true, false, true, false, false}));
  Radio(6)->click();
  EXPECT_EQ(Checked(), (std::vector<bool>{false, true, false, false, false, true}));
  Radio(3)->click();
  EXPECT_EQ(Checked(), (std::vector<bool>{false, false, true, false, false, true}));
  // A switched-on button stays on when clicked again: a group never ends up empty.
  Radio(3)->click();
  EXPECT_TRUE(Radio(3)->isChecked());
}

TEST_F(SetattrControls, SetWithBothOnIgnorePostsIgnoreForBoth) {
  Posted posted = Apply();
  EXPECT_EQ(posted.downloaded, kIgnore);
  EXPECT_EQ(posted.protect, kIgnore);
}

TEST_F(SetattrControls, PostsTheChoiceOfEachButton) {
  struct Case {
    int button;
    Posted expected;
  };
  // Each click changes one group only; the other keeps its last choice.
  const Case cases[] = {
      {2, {kSet, kIgnore}},  {3, {kUnset, kIgnore}}, {5, {kUnset, kSet}},
      {6, {kUnset, kUnset}}, {1, {kIgnore, kUnset}}, {4, {kIgnore, kIgnore}},
  };
  for (const Case& step : cases) {
    Radio(step.button)->click();
    Posted posted = Apply();
    EXPECT_EQ(posted.downloaded, step.expected.downloaded) << "after rbut" << step.button;
    EXPECT_EQ(posted.protect, step.expected.protect) << "after rbut" << step.button;
  }
}

TEST_F(SetattrControls, ChoiceFollowsAButtonSwitchedOnOtherwise) {
  Radio(3)->setChecked(true);
  Radio(5)->setChecked(true);
  EXPECT_EQ(window_->DownloadedChoice(), kUnset);
  EXPECT_EQ(window_->ProtectedChoice(), kSet);
}

TEST_F(SetattrControls, SetTwicePostsTwiceAndTheWindowStays) {
  window_->show();
  Radio(2)->click();
  auto* apply = Child<QPushButton>("okbut");
  apply->click();
  apply->click();
  std::vector<Posted> posted = Choices(looper_.Taken());
  ASSERT_EQ(posted.size(), 2u);
  for (const Posted& choice : posted) {
    EXPECT_EQ(choice.downloaded, kSet);
    EXPECT_EQ(choice.protect, kIgnore);
  }
  uitest::Settle();
  EXPECT_TRUE(window_->isVisible());
  window_->hide();
}

TEST_F(SetattrControls, ChoosingAloneSendsNothing) {
  Radio(2)->click();
  Radio(6)->click();
  EXPECT_TRUE(looper_.Taken().empty());
}

}  // namespace
