// The camera information window: its layout, its lines, the owner field and the clock.
#include <gtest/gtest.h>
#include <QFontMetrics>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <cstring>

#include "app/messages.h"
#include "tests/ui/recording_app.h"
#include "tests/ui/window_look.h"
#include "ui/ptv_camerainfoWin.h"

namespace {

CameraFacts Facts(const char* model, const char* owner, uint32_t free, uint32_t total,
                  uint16_t power) {
  CameraFacts facts;
  std::strncpy(facts.cameramodel, model, sizeof facts.cameramodel - 1);
  std::strncpy(facts.ownername, owner, sizeof facts.ownername - 1);
  facts.diskfree = free;
  facts.disktotal = total;
  facts.powerflags = power;
  return facts;
}

class CameraInfoWindow : public testing::Test {
 protected:
  template <typename Widget>
  Widget* Child(const char* name) {
    return window_.findChild<Widget*>(QLatin1String(name));
  }
  QString Text(const char* name) { return Child<QLabel>(name)->text(); }
  QLineEdit* Owner() { return Child<QLineEdit>("owntext"); }

  // Types into the owner field as a keyboard does, one character at a time.
  void Type(const QString& text) {
    for (QChar character : text) {
      QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(character));
      QApplication::sendEvent(Owner(), &press);
    }
  }
  void Press(int key) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, QStringLiteral("\n"));
    QApplication::sendEvent(Owner(), &press);
  }

  uitest::PinnedLook look_;
  ptv_camerainfoWin window_{CameraFacts{}};
};

TEST_F(CameraInfoWindow, IsLaidOutAsAFixedWindow) {
  EXPECT_FALSE(window_.isVisible());
  EXPECT_EQ(window_.windowTitle(), QStringLiteral("pictrove camera info"));
  EXPECT_EQ(window_.geometry(), QRect(100, 100, 271, 211));
  EXPECT_EQ(window_.minimumSize(), window_.maximumSize());
  EXPECT_EQ(Child<QWidget>("ptv_ciview")->geometry(), QRect(0, 0, 271, 211));
  EXPECT_EQ(Child<QLabel>("clockview")->geometry(), QRect(5, 140, 261, 36));
  EXPECT_EQ(Child<QPushButton>("setclockbut")->geometry(), QRect(185, 180, 81, 24));
  EXPECT_EQ(Child<QLabel>("cstview")->geometry(), QRect(5, 5, 261, 21));
  EXPECT_EQ(Child<QLabel>("bytesview")->geometry(), QRect(5, 30, 256, 21));
  EXPECT_EQ(Child<QLabel>("powerview")->geometry(), QRect(5, 55, 251, 21));

  auto* box = Child<QGroupBox>("ownerbox");
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(box->geometry(), QRect(5, 95, 261, 41));
  EXPECT_EQ(box->title(), QStringLiteral("Camera owner"));
  ASSERT_NE(Owner(), nullptr);
  EXPECT_EQ(Owner()->parentWidget(), box);
  EXPECT_EQ(Owner()->geometry(), QRect(5, 15, 206, 20));
  auto* set = Child<QPushButton>("setownbut");
  ASSERT_NE(set, nullptr);
  EXPECT_EQ(set->parentWidget(), box);
  EXPECT_EQ(set->geometry(), QRect(215, 12, 41, 23));
  EXPECT_EQ(set->text(), QStringLiteral("Set"));
}

TEST_F(CameraInfoWindow, BeforeAnyInformationShowsZerosOkAndBattery) {
  EXPECT_EQ(Text("cstview"), QString());
  EXPECT_EQ(Text("bytesview"), QStringLiteral("0 bytes free / 0 bytes total"));
  EXPECT_EQ(Text("powerview"), QStringLiteral("power status: ok, running on battery"));
  EXPECT_EQ(Owner()->text(), QString());
}

TEST_F(CameraInfoWindow, ShowsWhatTheCameraReported) {
  window_.Update(Facts("Canon PowerShot S10", "M\xC3\xBCller", 3'000'000'000u, 4'294'967'295u, 3));
  EXPECT_EQ(Text("cstview"), QStringLiteral("Canon PowerShot S10"));
  EXPECT_EQ(Owner()->text(), QStringLiteral("Müller"));
  // Sizes above the signed range are printed as the unsigned numbers they are.
  EXPECT_EQ(Text("bytesview"), QStringLiteral("3000000000 bytes free / 4294967295 bytes total"));
  EXPECT_EQ(Text("powerview"), QStringLiteral("power status: critical, running on AC adaptor"));

  window_.Update(Facts("<b>IXUS</b>", "", 0, 0, 1));
  EXPECT_EQ(Text("cstview"), QStringLiteral("<b>IXUS</b>"));
  EXPECT_EQ(Child<QLabel>("cstview")->textFormat(), Qt::PlainText);
  EXPECT_EQ(Text("powerview"), QStringLiteral("power status: critical, running on battery"));
  window_.Update(Facts("", "", 0, 0, 2));
  EXPECT_EQ(Text("powerview"), QStringLiteral("power status: ok, running on AC adaptor"));
  window_.Update(Facts("", "", 0, 0, 0xFFFC));
  EXPECT_EQ(Text("powerview"), QStringLiteral("power status: ok, running on battery"));
}

// The clock as it stands and how far from the computer's, drawn; its button asks to set it.
TEST_F(CameraInfoWindow, ShowsTheClockAndSetsIt) {
  EXPECT_EQ(Text("clockview"), QStringLiteral("clock: not read"));
  CameraFacts facts;
  facts.clock_read = true;
  facts.clock = 946684805;
  facts.clock_ahead = -26 * 365 * 86400;
  window_.Update(facts);
  EXPECT_EQ(Text("clockview"),
            QStringLiteral("clock: 2000-01-01 00:00:05, 9490 days behind this computer"));
  window_.show();
  const QImage shot = window_.grab().toImage();
  for (QRect area : {QRect(5, 140, 261, 36), QRect(185, 180, 81, 24)})
    EXPECT_GT(uitest::InkBounds(shot, area, shot.pixel(2, 138)).width(), 50) << "drawn";
  for (QChar character : Text("clockview"))
    EXPECT_TRUE(QFontMetrics(Child<QLabel>("clockview")->font()).inFont(character));
  uitest::RecordingApp application;
  Child<QPushButton>("setclockbut")->click();
  const std::vector<kit::Message> received = application.Received();
  ASSERT_EQ(received.size(), 1u);
  EXPECT_EQ(received[0].what, kSetClock);
}

TEST_F(CameraInfoWindow, NamesWithoutTheirEndAreReadOnlyWithinTheirFields) {
  CameraFacts facts;
  std::memset(facts.cameramodel, 'M', sizeof facts.cameramodel);
  std::memset(facts.ownername, 'o', sizeof facts.ownername);
  window_.Update(facts);
  EXPECT_EQ(Text("cstview"), QString(33, QLatin1Char('M')));
  EXPECT_EQ(Owner()->text(), QString(180, QLatin1Char('o')));
}

TEST_F(CameraInfoWindow, AReportedOwnerIsMadeToFitTheFieldWithoutBreakingACharacter) {
  std::string accents, cameras;
  for (int i = 0; i < 100; ++i) accents += "\xC3\xA9";         // é, 200 bytes
  for (int i = 0; i < 50; ++i) cameras += "\xF0\x9F\x93\xB7";  // U+1F4F7, 200 bytes
  window_.Update(Facts("", accents.c_str(), 0, 0, 0));
  EXPECT_EQ(Owner()->text(), QString(90, QChar(0xE9)));
  window_.Update(Facts("", cameras.c_str(), 0, 0, 0));
  EXPECT_EQ(Owner()->text().toUcs4(), QList<uint>(45, 0x1F4F7u));
  // Cutting at the limit would leave half of the character behind.
  window_.Update(Facts("", (std::string(178, 'a') + "\xF0\x9F\x93\xB7").c_str(), 0, 0, 0));
  EXPECT_EQ(Owner()->text(), QString(178, QLatin1Char('a')));
  window_.Update(Facts("", "first\nsecond", 0, 0, 0));
  EXPECT_EQ(Owner()->text(), QStringLiteral("firstsecond"));
}

TEST_F(CameraInfoWindow, TypingANewlineHasNoEffect) {
  Type(QStringLiteral("Ann"));
  Press(Qt::Key_Return);
  Press(Qt::Key_Enter);
  Type(QStringLiteral("\n"));
  Owner()->insert(QStringLiteral("x\ny"));
  EXPECT_EQ(Owner()->text(), QStringLiteral("Ann"));
  Type(QStringLiteral("e"));
  EXPECT_EQ(Owner()->text(), QStringLiteral("Anne"));
}

TEST_F(CameraInfoWindow, TypingBeyondOneHundredEightyBytesIsRefused) {
  Type(QString(180, QLatin1Char('a')));
  EXPECT_EQ(Owner()->text(), QString(180, QLatin1Char('a')));
  Type(QStringLiteral("b"));
  EXPECT_EQ(Owner()->text(), QString(180, QLatin1Char('a')));

  // Bytes are counted, not characters: é takes two.
  Owner()->clear();
  Type(QString(89, QChar(0xE9)) + QLatin1Char('a'));
  EXPECT_EQ(Owner()->text().toUtf8().size(), 179);
  Type(QString(QChar(0xE9)));
  EXPECT_EQ(Owner()->text().toUtf8().size(), 179);
  Type(QStringLiteral("a"));
  EXPECT_EQ(Owner()->text(), QString(89, QChar(0xE9)) + QStringLiteral("aa"));

  // What is refused is the change; deleting a character still works.
  QKeyEvent backspace(QEvent::KeyPress, Qt::Key_Backspace, Qt::NoModifier);
  QApplication::sendEvent(Owner(), &backspace);
  EXPECT_EQ(Owner()->text().toUtf8().size(), 179);
}

TEST_F(CameraInfoWindow, SetPostsTheWholeNameToTheApplication) {
  uitest::RecordingApp application;
  const QString forty = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmn");
  ASSERT_EQ(forty.size(), 40);
  Type(forty);
  Child<QPushButton>("setownbut")->click();
  Owner()->setText(QStringLiteral("Müller"));
  Child<QPushButton>("setownbut")->click();

  const std::vector<kit::Message> received = application.Received();
  ASSERT_EQ(received.size(), 2u);
  std::string name;
  EXPECT_EQ(received[0].what, kSetOwner);
  ASSERT_TRUE(received[0].FindString("name", &name));
  EXPECT_EQ(name, forty.toStdString());
  EXPECT_EQ(received[1].what, kSetOwner);
  ASSERT_TRUE(received[1].FindString("name", &name));
  EXPECT_EQ(name, "M\xC3\xBCller");
}

}  // namespace
