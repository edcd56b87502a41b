// The download folder panel: its settings, the extra button beside Cancel, and the answers it
// posts to the application.
#include <gtest/gtest.h>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QTemporaryDir>

#include <algorithm>
#include <thread>

#include "app/messages.h"
#include "tests/ui/recording_app.h"
#include "tests/ui/window_look.h"
#include "ui/QtAppWindows.h"
#include "ui/ptv_FilePanel.h"

namespace {

using uitest::WaitUntil;

std::string RefOf(const kit::Message& message) {
  kit::EntryRef ref;
  EXPECT_TRUE(message.FindRef("refs", &ref));
  return ref.path;
}

QRect InPanel(const QWidget* widget, const ptv_FilePanel& panel) {
  return QRect(widget->mapTo(&panel, QPoint(0, 0)), widget->size());
}

class FolderPanel : public testing::Test {
 protected:
  // A folder with two subfolders and a picture, shown in the panel.
  void SetUp() override {
    ASSERT_TRUE(folder_.isValid());
    ASSERT_TRUE(QDir(folder_.path()).mkdir(QStringLiteral("alpha")));
    ASSERT_TRUE(QDir(folder_.path()).mkdir(QStringLiteral("beta")));
    QFile picture(folder_.filePath(QStringLiteral("IMG_0001.JPG")));
    ASSERT_TRUE(picture.open(QIODevice::WriteOnly));
    picture.write("\xFF\xD8\xFF\xD9");
    picture.close();
  }

  void TearDown() override { panel_.hide(); }

  QListView* List() { return panel_.findChild<QListView*>(QStringLiteral("listView")); }
  QDialogButtonBox* Buttons() { return panel_.findChild<QDialogButtonBox*>(); }
  QPushButton* Cancel() { return Buttons()->button(QDialogButtonBox::Cancel); }
  QPushButton* Select() {
    for (QAbstractButton* button : Buttons()->buttons()) {
      if (Buttons()->buttonRole(button) == QDialogButtonBox::AcceptRole)
        return static_cast<QPushButton*>(button);
    }
    return nullptr;
  }

  // The names the panel's list shows once it has read the folder.
  QStringList Shown() {
    QStringList names;
    const QModelIndex root = List()->rootIndex();
    for (int row = 0; row < List()->model()->rowCount(root); ++row)
      names << List()->model()->index(row, 0, root).data().toString();
    names.sort();
    return names;
  }

  void ShowFolder() {
    panel_.SetPanelDirectory(folder_.path());
    panel_.Show();
    ASSERT_TRUE(WaitUntil([this] { return Shown().size() == 2; }));
  }

  void Choose(const QString& name) {
    const QModelIndex root = List()->rootIndex();
    for (int row = 0; row < List()->model()->rowCount(root); ++row) {
      const QModelIndex entry = List()->model()->index(row, 0, root);
      if (entry.data().toString() == name) {
        List()->setCurrentIndex(entry);
        List()->selectionModel()->select(
            entry, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        return;
      }
    }
    FAIL() << "no entry " << name.toStdString();
  }

  std::string Path(const char* name = nullptr) {
    const QString path = name ? QDir(folder_.path()).absoluteFilePath(QLatin1String(name))
                              : QDir(folder_.path()).absolutePath();
    return QFile::encodeName(path).toStdString();
  }

  uitest::PinnedLook look_;
  QTemporaryDir folder_;
  uitest::RecordingApp app_;
  ptv_FilePanel panel_;
};

TEST_F(FolderPanel, IsAnApplicationModalFolderChooserThatStartsHidden) {
  EXPECT_FALSE(panel_.isVisible());
  EXPECT_EQ(panel_.windowTitle(), QStringLiteral("pictrove : select directory"));
  EXPECT_EQ(panel_.fileMode(), QFileDialog::Directory);
  EXPECT_EQ(panel_.acceptMode(), QFileDialog::AcceptOpen);
  EXPECT_TRUE(panel_.testOption(QFileDialog::ShowDirsOnly));
  EXPECT_TRUE(panel_.testOption(QFileDialog::DontUseNativeDialog));
  EXPECT_EQ(panel_.windowModality(), Qt::ApplicationModal);
  ASSERT_NE(Select(), nullptr);
  EXPECT_EQ(Select()->text(), QStringLiteral("Select"));
  QPushButton* current = panel_.findChild<QPushButton*>(QStringLiteral("current dir button"));
  ASSERT_NE(current, nullptr);
  EXPECT_EQ(current, panel_.CurrentDirButton());
  EXPECT_EQ(current->text(), QStringLiteral("Select Current Directory"));
  EXPECT_EQ(current->focusPolicy(), Qt::StrongFocus);
}

TEST_F(FolderPanel, ExtraButtonStandsBesideCancelAndFollowsTheCorner) {
  panel_.resize(700, 450);
  ShowFolder();
  QPushButton* current = panel_.CurrentDirButton();
  ASSERT_NE(current, nullptr);
  EXPECT_TRUE(current->isVisible());

  auto expect_beside_cancel = [&] {
    const QRect cancel = InPanel(Cancel(), panel_);
    const QRect button = InPanel(current, panel_);
    const int text = QFontMetrics(Cancel()->font()).horizontalAdvance(current->text());
    EXPECT_EQ(button.right(), cancel.left() - 10);
    EXPECT_EQ(button.width(), text + 40);
    EXPECT_EQ(button.top(), cancel.top());
    EXPECT_EQ(button.bottom(), cancel.bottom());
  };
  expect_beside_cancel();
  // It covers nothing of the dialog's own.
  for (QWidget* widget : panel_.findChildren<QWidget*>()) {
    if (widget == current || !widget->isVisible() || widget->isAncestorOf(current) ||
        current->isAncestorOf(widget))
      continue;
    EXPECT_FALSE(InPanel(widget, panel_).intersects(InPanel(current, panel_)))
        << widget->metaObject()->className() << " " << widget->objectName().toStdString();
  }
  const QRect before = InPanel(current, panel_);
  const int right_gap = panel_.width() - before.right();
  const int bottom_gap = panel_.height() - before.bottom();

  panel_.resize(900, 620);
  ASSERT_TRUE(WaitUntil([&] { return InPanel(current, panel_) != before; }));
  expect_beside_cancel();
  const QRect after = InPanel(current, panel_);
  EXPECT_EQ(panel_.width() - after.right(), right_gap);
  EXPECT_EQ(panel_.height() - after.bottom(), bottom_gap);
  EXPECT_EQ(after.size(), before.size());
}

TEST_F(FolderPanel, ListsFoldersOnly) {
  ShowFolder();
  EXPECT_EQ(Shown(), (QStringList{QStringLiteral("alpha"), QStringLiteral("beta")}));
}

TEST_F(FolderPanel, SelectCurrentDirectoryAnswersTheFolderShownWhateverIsSelected) {
  ShowFolder();
  Choose(QStringLiteral("alpha"));
  panel_.CurrentDirButton()->click();
  const std::vector<kit::Message> received = app_.Received();
  ASSERT_EQ(received.size(), 1u);
  EXPECT_EQ(received[0].what, kSelectCurrent);
  EXPECT_EQ(RefOf(received[0]), Path());
  // The application hides the panel when it handles the answer.
  EXPECT_TRUE(panel_.isVisible());
}

TEST_F(FolderPanel, SelectCurrentDirectoryFollowsTheFolderTheUserOpened) {
  ShowFolder();
  panel_.SetPanelDirectory(QString::fromStdString(Path("beta")));
  panel_.CurrentDirButton()->click();
  const std::vector<kit::Message> received = app_.Received();
  ASSERT_EQ(received.size(), 1u);
  EXPECT_EQ(RefOf(received[0]), Path("beta"));
}

TEST_F(FolderPanel, SelectAnswersTheSelectedSubfolderAndHides) {
  ShowFolder();
  Choose(QStringLiteral("beta"));
  Select()->click();
  const std::vector<kit::Message> received = app_.Received();
  ASSERT_EQ(received.size(), 1u);
  EXPECT_EQ(received[0].what, kRefsReceived);
  EXPECT_EQ(RefOf(received[0]), Path("beta"));
  EXPECT_FALSE(panel_.isVisible());
}

TEST_F(FolderPanel, AFileNameTypedInIsNeverChosen) {
  ShowFolder();
  auto* name = panel_.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
  ASSERT_NE(name, nullptr);
  name->setText(QStringLiteral("IMG_0001.JPG"));
  Select()->click();
  EXPECT_TRUE(app_.Received().empty());
  EXPECT_TRUE(panel_.isVisible());
}

TEST_F(FolderPanel, CancelAnswersNothingAndHides) {
  ShowFolder();
  Choose(QStringLiteral("alpha"));
  Cancel()->click();
  EXPECT_TRUE(app_.Received().empty());
  EXPECT_FALSE(panel_.isVisible());
}

TEST_F(FolderPanel, WithoutAnApplicationAnswersGoNowhere) {
  ShowFolder();
  ptv_App* running = app;
  app = nullptr;
  panel_.CurrentDirButton()->click();
  app = running;
  EXPECT_TRUE(app_.Received().empty());
}

TEST(FolderPanelWindows, CreatedHiddenOnceOnTheGuiThreadAndHiddenOnRequest) {
  QtAppWindows windows;
  std::thread worker([&] { windows.CreateFolderPanel(); });
  worker.join();
  EXPECT_EQ(windows.FolderPanel(), nullptr);
  uitest::Settle();
  ptv_FilePanel* panel = windows.FolderPanel();
  ASSERT_NE(panel, nullptr);
  EXPECT_EQ(panel->thread(), QCoreApplication::instance()->thread());
  EXPECT_FALSE(panel->isVisible());

  windows.CreateFolderPanel();
  uitest::Settle();
  EXPECT_EQ(windows.FolderPanel(), panel);

  panel->Show();
  EXPECT_TRUE(panel->isVisible());
  std::thread hider([&] { windows.HideFolderPanel(); });
  hider.join();
  uitest::Settle();
  EXPECT_FALSE(panel->isVisible());
}

}  // namespace
