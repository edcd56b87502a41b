// The upload panel: a modal chooser of one existing file whose answer is the file to upload.
#include <gtest/gtest.h>
#include <QApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListView>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include "app/messages.h"
#include "tests/ui/recording_app.h"
#include "tests/ui/recording_looper.h"
#include "tests/ui/window_look.h"
#include "ui/UploadPanel.h"

namespace {

std::vector<std::string> Refs(const std::vector<kit::Message>& messages) {
  std::vector<std::string> paths;
  for (const kit::Message& message : messages) {
    EXPECT_EQ(message.what, kUpload);
    kit::EntryRef ref;
    EXPECT_TRUE(message.FindRef("refs", &ref));
    paths.push_back(ref.path);
  }
  return paths;
}

QPushButton* Button(QFileDialog& panel, QDialogButtonBox::ButtonRole role) {
  auto* buttons = panel.findChild<QDialogButtonBox*>();
  if (buttons == nullptr) return nullptr;
  for (QAbstractButton* button : buttons->buttons()) {
    if (buttons->buttonRole(button) == role) return static_cast<QPushButton*>(button);
  }
  return nullptr;
}

// As a user types, once the panel lists its folder: key by key over the selected old name,
// into the focused name field, which the panel follows with its selection.
void Type(QFileDialog& panel, const QString& name) {
  auto* list = panel.findChild<QListView*>(QStringLiteral("listView"));
  auto* edit = panel.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
  ASSERT_NE(list, nullptr);
  ASSERT_NE(edit, nullptr);
  ASSERT_TRUE(uitest::WaitUntil([list] { return list->model()->rowCount(list->rootIndex()) > 0; }));
  QApplication::setActiveWindow(&panel);
  edit->setFocus();
  ASSERT_TRUE(uitest::WaitUntil([edit] { return edit->hasFocus(); }));
  edit->selectAll();
  for (QChar character : name) {
    QKeyEvent key(QEvent::KeyPress, 0, Qt::NoModifier, QString(character));
    QApplication::sendEvent(edit, &key);
  }
  ASSERT_EQ(edit->text(), name);
}

// Types `name` afresh into the panel and presses its default button once the panel lets it:
// the panel enables it when its folder listing knows the entry.
void Choose(QFileDialog& panel, const QString& name) {
  Type(panel, name);
  QPushButton* select = Button(panel, QDialogButtonBox::AcceptRole);
  ASSERT_NE(select, nullptr);
  ASSERT_TRUE(uitest::WaitUntil([select] { return select->isEnabled(); }));
  select->click();
}

class UploadChooser : public testing::Test {
 protected:
  // A folder with a picture, a file with a name beyond ASCII and a subfolder.
  void SetUp() override {
    ASSERT_TRUE(folder_.isValid());
    for (const QString& name :
         {QStringLiteral("IMG_0001.JPG"), QStringLiteral("Bild_\u00e4.jpg")}) {
      QFile file(folder_.filePath(name));
      ASSERT_TRUE(file.open(QIODevice::WriteOnly));
      file.write("\xFF\xD8\xFF\xD9");
    }
    ASSERT_TRUE(QDir(folder_.path()).mkdir(QStringLiteral("sub")));
    panel_.setDirectory(folder_.path());
    panel_.show();
    uitest::Settle();
  }

  void TearDown() override { panel_.hide(); }

  std::string Path(const QString& name) {
    return QFile::encodeName(QDir(folder_.path()).absoluteFilePath(name)).toStdString();
  }

  uitest::PinnedLook look_;
  QTemporaryDir folder_;
  uitest::RecordingLooper looper_;
  UploadPanel panel_{looper_.Target()};
};

TEST(UploadPanelSettings, IsAModalChooserOfOneExistingFileThatStartsHidden) {
  uitest::RecordingLooper looper;
  UploadPanel panel(looper.Target());
  EXPECT_FALSE(panel.isVisible());
  EXPECT_EQ(panel.windowTitle(), QStringLiteral("pictrove : select file"));
  EXPECT_EQ(panel.fileMode(), QFileDialog::ExistingFile);
  EXPECT_EQ(panel.acceptMode(), QFileDialog::AcceptOpen);
  EXPECT_TRUE(panel.testOption(QFileDialog::DontUseNativeDialog));
  EXPECT_FALSE(panel.testOption(QFileDialog::ShowDirsOnly));
  EXPECT_EQ(panel.windowModality(), Qt::ApplicationModal);
  QPushButton* select = Button(panel, QDialogButtonBox::AcceptRole);
  ASSERT_NE(select, nullptr);
  EXPECT_EQ(select->text(), QStringLiteral("Select"));
}

TEST_F(UploadChooser, SelectIsTheDefaultButton) {
  QPushButton* select = Button(panel_, QDialogButtonBox::AcceptRole);
  ASSERT_NE(select, nullptr);
  EXPECT_EQ(select->text(), QStringLiteral("Select"));
  EXPECT_TRUE(select->isDefault());
}

TEST_F(UploadChooser, SelectPostsTheFileAndHides) {
  Choose(panel_, QStringLiteral("IMG_0001.JPG"));
  EXPECT_EQ(Refs(looper_.Taken()), std::vector<std::string>{Path(QStringLiteral("IMG_0001.JPG"))});
  EXPECT_FALSE(panel_.isVisible());
}

TEST_F(UploadChooser, NameBeyondAsciiTravelsAsItsBytes) {
  Choose(panel_, QStringLiteral("Bild_\u00e4.jpg"));
  const std::vector<std::string> refs = Refs(looper_.Taken());
  ASSERT_EQ(refs.size(), 1u);
  EXPECT_EQ(refs[0], Path(QStringLiteral("Bild_\u00e4.jpg")));
  EXPECT_NE(refs[0].find("Bild_\xC3\xA4.jpg"), std::string::npos);
}

TEST_F(UploadChooser, AMissingFileCannotBeSelected) {
  Type(panel_, QStringLiteral("NOPE.JPG"));
  uitest::Settle();
  QPushButton* select = Button(panel_, QDialogButtonBox::AcceptRole);
  EXPECT_FALSE(select->isEnabled());
  select->click();
  EXPECT_TRUE(looper_.Taken().empty());
  EXPECT_TRUE(panel_.isVisible());
  // The same name once the file exists is chosen.
  QFile late(folder_.filePath(QStringLiteral("NOPE.JPG")));
  ASSERT_TRUE(late.open(QIODevice::WriteOnly));
  late.close();
  Choose(panel_, QStringLiteral("NOPE.JPG"));
  EXPECT_EQ(Refs(looper_.Taken()), std::vector<std::string>{Path(QStringLiteral("NOPE.JPG"))});
}

TEST_F(UploadChooser, AFolderIsOpenedNotChosen) {
  Choose(panel_, QStringLiteral("sub"));
  EXPECT_TRUE(looper_.Taken().empty());
  EXPECT_TRUE(panel_.isVisible());
  EXPECT_EQ(panel_.directory().absolutePath(),
            QDir(folder_.filePath(QStringLiteral("sub"))).absolutePath());
}

TEST_F(UploadChooser, EachOpeningAnswersOnlyItsOwnChoice) {
  for (const QString& name : {QStringLiteral("IMG_0001.JPG"), QStringLiteral("Bild_\u00e4.jpg")}) {
    // Typed with its folder, as a user may.
    Choose(panel_, QDir(folder_.path()).absoluteFilePath(name));
    EXPECT_EQ(Refs(looper_.Taken()), std::vector<std::string>{Path(name)});
    EXPECT_FALSE(panel_.isVisible());
    panel_.show();
  }
}

TEST_F(UploadChooser, CancelPostsNothingAndHides) {
  QPushButton* cancel = Button(panel_, QDialogButtonBox::RejectRole);
  ASSERT_NE(cancel, nullptr);
  cancel->click();
  EXPECT_TRUE(looper_.Taken().empty());
  EXPECT_FALSE(panel_.isVisible());
}

TEST(UploadPanelShowing, ShowsOnePanelThatAnswersTheApplication) {
  uitest::PinnedLook look;
  uitest::RecordingApp application;
  QTemporaryDir folder;
  ASSERT_TRUE(folder.isValid());
  QFile file(folder.filePath(QStringLiteral("upload.jpg")));
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.close();

  ShowUploadPanel();
  UploadPanel* panel = CurrentUploadPanel();
  ASSERT_NE(panel, nullptr);
  EXPECT_TRUE(panel->isVisible());
  panel->setDirectory(folder.path());
  Choose(*panel, QStringLiteral("upload.jpg"));
  EXPECT_FALSE(panel->isVisible());

  ShowUploadPanel();
  EXPECT_EQ(CurrentUploadPanel(), panel);
  EXPECT_TRUE(panel->isVisible());
  panel->hide();

  const std::vector<std::string> refs = Refs(application.Received());
  ASSERT_EQ(refs.size(), 1u);
  EXPECT_EQ(refs[0],
            QFile::encodeName(folder.filePath(QStringLiteral("upload.jpg"))).toStdString());
}

TEST(UploadPanelShowing, IsDeletedWhenTheEventLoopEnds) {
  ShowUploadPanel();
  QPointer<UploadPanel> panel = CurrentUploadPanel();
  ASSERT_FALSE(panel.isNull());
  // Hidden, as after an answer: quitting closes windows, which only hides a panel.
  panel->hide();
  QTimer::singleShot(0, qApp, &QCoreApplication::quit);
  QApplication::exec();
  EXPECT_TRUE(panel.isNull());
  EXPECT_EQ(CurrentUploadPanel(), nullptr);
}

}  // namespace
