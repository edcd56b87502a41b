#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QEvent>
#include <QLineEdit>
#include <QMenuBar>
#include <QRadioButton>
#include <QScrollBar>
#include <QStringList>
#include <filesystem>
#include <fstream>

#include "app/PictureList.h"
#include "app/Settings.h"
#include "app/messages.h"
#include "app/pic_Item.h"
#include "tests/program/ProgramFixture.h"
#include "ui/UploadPanel.h"
#include "ui/ptv_FilePanel.h"
#include "ui/ptv_aboutWin.h"
#include "ui/ptv_camerainfoWin.h"
#include "ui/ptv_picListView.h"
#include "ui/ptv_setattrWin.h"
#include "ui/ptv_statusWin.h"

namespace {

using programtest::CameraWith;
using programtest::Pictures;
using programtest::Program;
using testing::ElementsAre;

std::string CameraPath(const std::string& name) {
  return "D:\\DCIM\\100CANON\\" + name;
}

TEST_F(Program, MenusCarryTheirLabelsShortcutsAndOrder) {
  StartWith(CameraWith(Pictures(1)));
  QList<QAction*> menus = Window()->menuBar()->actions();
  ASSERT_EQ(menus.size(), 2);
  EXPECT_EQ(menus[0]->text(), "&File");
  EXPECT_EQ(menus[1]->text(), "&Edit");
  EXPECT_EQ(QKeySequence::mnemonic(menus[0]->text()), QKeySequence("Alt+F"));
  EXPECT_EQ(QKeySequence::mnemonic(menus[1]->text()), QKeySequence("Alt+E"));
  QStringList file;
  for (QAction* item : menus[0]->menu()->actions())
    file << (item->isSeparator() ? "-" : item->text());
  EXPECT_EQ(file, QStringList({"Download\u2026", "Download and delete\u2026",
                               "Set attributes\u2026", "-", "Rotate right", "Rotate Left", "-",
                               "Delete\u2026", "-", "About pictrove\u2026", "-", "Quit"}));
  EXPECT_EQ(MenuItem("Download\u2026")->shortcut(), QKeySequence("Ctrl+S"));
  EXPECT_EQ(MenuItem("Rotate right")->shortcut(), QKeySequence("Ctrl+R"));
  EXPECT_EQ(MenuItem("Rotate Left")->shortcut(), QKeySequence("Ctrl+L"));
  EXPECT_EQ(MenuItem("Quit")->shortcut(), QKeySequence("Ctrl+Q"));
  EXPECT_EQ(MenuItem("Select All")->shortcut(), QKeySequence("Ctrl+A"));
  EXPECT_EQ(MenuItem("Select New")->shortcut(), QKeySequence("Ctrl+N"));
  EXPECT_EQ(MenuItem("Camera info\u2026")->shortcut(), QKeySequence("Ctrl+I"));
  EXPECT_TRUE(MenuItem("Delete\u2026")->shortcut().isEmpty());
  EXPECT_EQ(Window()->windowTitle(), "pictrove");
  for (const char* name : {"downbut", "delbut", "attrbut"}) EXPECT_NE(Button(name), nullptr);
}

TEST_F(Program, SelectAllAndSelectNew) {
  auto camera = CameraWith(Pictures(4));
  StartWith(camera);
  Trigger("Select All");
  EXPECT_THAT(Selection(), ElementsAre(0, 1, 2, 3));
  // Mark the two oldest downloaded through the attributes window's command, then pick new.
  Window()->List().DeselectAll();
  Window()->List().Select(2, 3);
  kit::Message apply(kApplyAttributes);
  apply.AddInt32("downloaded", kSet);
  apply.AddInt32("protected", kIgnore);
  app->PostMessage(apply);
  ASSERT_TRUE(WaitFor([&] { return (Row(3)->attributes & pic_Item::kNew) == 0; }));
  Trigger("Select New");
  EXPECT_THAT(Selection(), ElementsAre(0, 1));
}

// "Download and delete…" asks once, naming how many pictures leave the camera, then takes
// each off the camera once its file is safe in the folder.
TEST_F(Program, DownloadAndDeleteAsksOnceThenEmptiesTheCamera) {
  StartWith(CameraWith(Pictures(3)));
  std::string folder = ScratchFolder();
  std::vector<std::vector<uint8_t>> bytes;
  for (int i = 1; i <= 3; i++)
    bytes.push_back(camera_->FindFile(CameraPath("IMG_000" + std::to_string(i) + ".JPG"))->bytes);
  Trigger("Select All");
  testing::internal::CaptureStderr();
  Trigger("Download and delete\u2026");
  EXPECT_EQ(alerts_.Texts(),
            std::vector<std::string>{"Download 3 pictures, then delete 3 of them "
                                     "from the camera once each is safe on disk?"});
  ptv_FilePanel* panel = windows_->FolderPanel();
  ASSERT_TRUE(WaitFor([&] { return panel->isVisible(); }));
  panel->SetPanelDirectory(QString::fromStdString(folder));
  panel->CurrentDirButton()->click();
  ASSERT_TRUE(WaitFor([&] { return ReadDownloadFolder() == folder; }));
  testing::internal::GetCapturedStderr();
  for (int i = 1; i <= 3; i++) {
    std::string name = "IMG_000" + std::to_string(i) + ".JPG";
    EXPECT_EQ(ReadFile(folder + "/" + name), std::string(bytes[i - 1].begin(), bytes[i - 1].end()));
    EXPECT_FALSE(camera_->FindFile(CameraPath(name)).has_value()) << name;
  }
  EXPECT_TRUE(WaitFor([&] { return Rows() == 0; }));
  EXPECT_EQ(alerts_.Texts().size(), 1u);
}

TEST_F(Program, DownloadIntoAFolderChosenInThePanel) {
  StartWith(CameraWith(Pictures(3)));
  std::string folder = ScratchFolder();
  Trigger("Select All");
  testing::internal::CaptureStderr();
  Button("downbut")->click();
  ptv_FilePanel* panel = windows_->FolderPanel();
  ASSERT_NE(panel, nullptr);
  ASSERT_TRUE(WaitFor([&] { return panel->isVisible(); }));
  EXPECT_EQ(panel->windowTitle(), "pictrove : select directory");
  panel->SetPanelDirectory(QString::fromStdString(folder));
  ASSERT_NE(panel->CurrentDirButton(), nullptr);
  panel->CurrentDirButton()->click();
  ASSERT_TRUE(WaitFor([&] { return ReadDownloadFolder() == folder; }));
  testing::internal::GetCapturedStderr();
  EXPECT_FALSE(panel->isVisible());
  for (int i = 1; i <= 3; i++) {
    std::string name = "IMG_000" + std::to_string(i) + ".JPG";
    auto held = camera_->FindFile(CameraPath(name));
    ASSERT_TRUE(held.has_value());
    EXPECT_EQ(ReadFile(folder + "/" + name), std::string(held->bytes.begin(), held->bytes.end()));
    EXPECT_EQ(held->attributes & 0x20, 0);
  }
  for (int row = 0; row < 3; row++) EXPECT_EQ(Row(row)->attributes & pic_Item::kNew, 0u);
  EXPECT_TRUE(alerts_.Texts().empty());
  // The status window's bar went all the way, byte for byte.
  ptv_statusWin* status = windows_->StatusWindow();
  ASSERT_NE(status, nullptr);
  ASSERT_TRUE(WaitFor([&] { return !status->isVisible(); }));
  uint64_t total = uint64_t(Row(0)->size) + Row(1)->size + Row(2)->size;
  EXPECT_EQ(status->View()->Maximum(), total);
  EXPECT_EQ(status->View()->Value(), total);
  EXPECT_EQ(status->View()->Line(), "Downloading 3 of 3");
  // The next Download opens the panel in the folder it remembers.
  Trigger("Download\u2026");
  ASSERT_TRUE(WaitFor([&] { return panel->isVisible(); }));
  EXPECT_EQ(std::filesystem::path(panel->directory().absolutePath().toStdString()),
            std::filesystem::path(folder));
  panel->reject();
}

TEST_F(Program, ASecondDownloadFailsAtItsFirstPictureAndClosesTheStatusWindow) {
  StartWith(CameraWith(Pictures(2)));
  std::string folder = ScratchFolder();
  Trigger("Select All");
  for (int run = 0; run < 2; run++) {
    kit::Message answer(kSelectCurrent);
    answer.AddRef("refs", {folder});
    testing::internal::CaptureStderr();
    app->PostMessage(answer);
    ASSERT_TRUE(WaitFor([&] { return windows_->StatusWindow() != nullptr; }));
    ASSERT_TRUE(WaitFor([&] { return !windows_->StatusWindow()->isVisible(); }));
    Settle();
    testing::internal::GetCapturedStderr();
  }
  EXPECT_THAT(alerts_.Texts(), ElementsAre("The file already exists."));
}

TEST_F(Program, SetAndClearBothFlags) {
  StartWith(CameraWith(Pictures(2)));
  Window()->List().Select(1);
  Button("attrbut")->click();
  ASSERT_TRUE(WaitFor([] { return SetattrWindow() != nullptr && SetattrWindow()->isVisible(); }));
  auto radio = [](const char* name) { return SetattrWindow()->findChild<QRadioButton*>(name); };
  auto apply = [] { SetattrWindow()->findChild<QAbstractButton*>("okbut")->click(); };
  const std::string path = CameraPath("IMG_0001.JPG");
  radio("rbut2")->click();  // Downloaded: Set
  radio("rbut5")->click();  // Delete protected: Set
  apply();
  ASSERT_TRUE(WaitFor([&] { return camera_->FindFile(path)->attributes == 0x01; }));
  ASSERT_TRUE(WaitFor([&] { return Row(1)->attributes == 0x01; }));
  radio("rbut3")->click();  // Downloaded: Unset
  radio("rbut6")->click();  // Delete protected: Unset
  apply();
  ASSERT_TRUE(WaitFor([&] { return camera_->FindFile(path)->attributes == 0x20; }));
  ASSERT_TRUE(WaitFor([&] { return Row(1)->attributes == 0x20; }));
  EXPECT_EQ(camera_->FindFile(CameraPath("IMG_0002.JPG"))->attributes, 0x20);
}

TEST_F(Program, TurningAPictureCyclesItsOrientationAndItsThumbnail) {
  StartWith(CameraWith(Pictures(1)));
  Window()->List().Select(0);
  kit::Bitmap* before = Row(0)->Thumbnail();
  ASSERT_NE(before, nullptr);
  int width = before->Width(), height = before->Height();
  std::vector<uint8_t> pixels(before->Bits(), before->Bits() + before->BitsLength());
  std::vector<uint32_t> codes;
  for (int turn = 0; turn < 4; turn++) {
    Trigger("Rotate right");
    codes.push_back(Row(0)->orientation);
    if (turn == 0) {
      EXPECT_EQ(Row(0)->Thumbnail()->Width(), height);
    }
  }
  EXPECT_THAT(codes, ElementsAre(6u, 7u, 8u, 1u));
  kit::Bitmap* after = Row(0)->Thumbnail();
  EXPECT_EQ(after->Width(), width);
  EXPECT_EQ(std::vector<uint8_t>(after->Bits(), after->Bits() + after->BitsLength()), pixels);
  Trigger("Rotate Left");
  EXPECT_EQ(Row(0)->orientation, 8u);
  // Another kind's thumbnail turns for the eye; the code that would turn its file does not.
  Row(0)->kind = FileKind::kMovie;
  Trigger("Rotate right");
  EXPECT_EQ(Row(0)->orientation, 8u);
  EXPECT_EQ(Row(0)->Thumbnail()->Width(), width);
}

TEST_F(Program, DeleteAsksFirstAndSkipsProtectedPictures) {
  auto camera = CameraWith(Pictures(3));
  StartWith(camera);
  // Protect the newest picture, then select everything.
  Window()->List().Select(0);
  kit::Message protect(kApplyAttributes);
  protect.AddInt32("downloaded", kIgnore);
  protect.AddInt32("protected", kSet);
  app->PostMessage(protect);
  ASSERT_TRUE(WaitFor([&] { return Row(0)->attributes == 0x21; }));
  Trigger("Select All");

  alerts_.SetAnswer(1);  // Cancel
  Button("delbut")->click();
  Settle();
  EXPECT_EQ(Rows(), 3);
  ASSERT_EQ(alerts_.Requests().size(), 1u);
  kit::AlertRequest asked = alerts_.Requests()[0];
  EXPECT_EQ(asked.text, "Do you really want to delete?");
  EXPECT_EQ(asked.buttons, (std::vector<std::string>{"Ok", "Cancel"}));
  EXPECT_EQ(asked.escape_button, 1);

  alerts_.SetAnswer(0);  // Ok
  camera_->ClearTransfers();
  testing::internal::CaptureStderr();
  Trigger("Delete\u2026");
  ASSERT_TRUE(WaitFor([&] { return Rows() == 1; }));
  Settle();
  testing::internal::GetCapturedStderr();
  EXPECT_STREQ(Row(0)->GetName(), CameraPath("IMG_0003.JPG").c_str());
  EXPECT_THAT(Selection(), ElementsAre(0));  // still selected
  EXPECT_TRUE(camera_->FindFile(CameraPath("IMG_0003.JPG")).has_value());
  EXPECT_FALSE(camera_->FindFile(CameraPath("IMG_0002.JPG")).has_value());
  EXPECT_FALSE(camera_->FindFile(CameraPath("IMG_0001.JPG")).has_value());
  // The camera information was read again after each of the three rows.
  int identifications = 0;
  for (const sim::TransferRecord& record : camera_->Transfers())
    if (record.kind == sim::TransferKind::kControl && record.data.size() >= 80 &&
        record.data[68] == 0x01 && record.data[71] == 0x12)
      identifications++;
  EXPECT_EQ(identifications, 3);
}

TEST_F(Program, CameraInformationAndOwnerName) {
  auto camera = CameraWith(Pictures(1));
  sim::CameraInfo info = camera->Info();
  info.model = "Canon PowerShot S100";
  camera->SetInfo(info);
  StartWith(camera);
  testing::internal::CaptureStderr();
  Trigger("Camera info\u2026");
  ASSERT_TRUE(WaitFor([&] { return windows_->CameraInfoWindow() != nullptr; }));
  ptv_camerainfoWin* window = windows_->CameraInfoWindow();
  ASSERT_TRUE(WaitFor([&] { return window->isVisible(); }));
  EXPECT_EQ(window->windowTitle(), "pictrove camera info");
  bool model_shown = false;
  for (QWidget* child : window->findChildren<QWidget*>())
    if (child->objectName() == "cstview" &&
        child->property("text").toString() == "Canon PowerShot S100")
      model_shown = true;
  EXPECT_TRUE(model_shown);
  auto* owner = window->findChild<QLineEdit*>("owntext");
  ASSERT_NE(owner, nullptr);
  owner->setText(QString::fromUtf8("Jos\u00e9 Garc\u00eda"));
  window->findChild<QAbstractButton*>("setownbut")->click();
  ASSERT_TRUE(WaitFor([&] {
    return camera_->Info().owner ==
           "Jos\xe9 Garc\xed"
           "a";
  }));
  testing::internal::GetCapturedStderr();
}

TEST_F(Program, AboutTwiceMakesOneWindow) {
  StartWith(CameraWith(Pictures(1)));
  Trigger("About pictrove\u2026");
  ASSERT_TRUE(WaitFor([] { return AboutWindow() != nullptr && AboutWindow()->isVisible(); }));
  ptv_aboutWin* first = AboutWindow();
  Trigger("About pictrove\u2026");
  Pump(50);
  EXPECT_EQ(AboutWindow(), first);
  EXPECT_EQ(first->windowTitle(), "About pictrove");
}

TEST_F(Program, UploadThroughTheUploadCommand) {
  StartWith(CameraWith(Pictures(1)));
  std::string folder = ScratchFolder();
  std::string source = folder + "/holiday.jpg";
  std::string bytes(3000, '\0');
  for (size_t i = 0; i < bytes.size(); i++) bytes[i] = char(i * 7);
  bytes.replace(0, 12,
                std::string("\xFF\xD8\xFF\xE1\x00\x10"
                            "Exif\0\0",
                            12));  // a JPEG's start
  std::ofstream(source, std::ios::binary) << bytes;
  Window()->PostMessage(kit::Message(kUploadCommand));
  ASSERT_TRUE(WaitFor([] { return CurrentUploadPanel() != nullptr; }));
  UploadPanel* panel = CurrentUploadPanel();
  ASSERT_TRUE(WaitFor([&] { return panel->isVisible(); }));
  EXPECT_EQ(panel->windowTitle(), "pictrove : select file");
  testing::internal::CaptureStderr();
  // As a user would: into the folder, the name typed, "Select".
  panel->setDirectory(QString::fromStdString(folder));
  Pump(200);
  auto* name = panel->findChild<QLineEdit*>("fileNameEdit");
  ASSERT_NE(name, nullptr);
  name->setFocus();
  name->setText("holiday.jpg");
  QAbstractButton* select = nullptr;
  for (QAbstractButton* button : panel->findChildren<QAbstractButton*>())
    if (button->text() == "Select") select = button;
  ASSERT_NE(select, nullptr);
  select->click();
  ASSERT_TRUE(WaitFor([&] {
    auto uploaded = camera_->FindFile("D:\\DCIM\\112CANON\\IMG_1205.JPG");
    return uploaded.has_value() && uploaded->bytes.size() == bytes.size();
  }));
  Settle();
  testing::internal::GetCapturedStderr();
  auto uploaded = camera_->FindFile("D:\\DCIM\\112CANON\\IMG_1205.JPG");
  EXPECT_EQ(std::string(uploaded->bytes.begin(), uploaded->bytes.end()), bytes);
}

TEST_F(Program, QuitEndsTheApplication) {
  StartWith(CameraWith(Pictures(1)));
  Trigger("Quit");
  ASSERT_TRUE(WaitFor([] { return !app->IsRunning(); }));
}

TEST_F(Program, TheWindowKeepsItsSizeLimits) {
  StartWith(CameraWith(Pictures(1)));
  Window()->resize(100, 100);
  EXPECT_GE(Window()->width(), 401);
  EXPECT_GE(Window()->height(), 301);
  Window()->resize(2000, 2000);
  EXPECT_LE(Window()->width(), 801);
  EXPECT_LE(Window()->height(), 1001);
  // The buttons keep their distance to the bottom edge, the list grows with the window.
  Window()->resize(600, 700);
  Pump(50);
  QWidget* background = Window()->centralWidget();
  EXPECT_EQ(background->height() - 1 - Button("downbut")->y(), 29);
  EXPECT_GT(Window()->ListView()->height(), 500);
}

TEST_F(Program, TheWindowRepaintsWhileAPacedDownloadRuns) {
  std::vector<sim::PictureSpec> pictures = Pictures(50);
  for (sim::PictureSpec& spec : pictures) {
    spec.width = 800;
    spec.height = 600;
  }
  StartWith(CameraWith(pictures));
  camera_->PaceBulk(1216000);
  std::string folder = ScratchFolder();
  Trigger("Select All");
  struct PaintCounter : QObject {
    int paints = 0;
    bool eventFilter(QObject*, QEvent* event) override {
      if (event->type() == QEvent::Paint) paints++;
      return false;
    }
  } counter;
  Window()->ListView()->viewport()->installEventFilter(&counter);
  kit::Message answer(kSelectCurrent);
  answer.AddRef("refs", {folder});
  testing::internal::CaptureStderr();
  app->PostMessage(answer);
  ASSERT_TRUE(WaitFor([&] {
    return windows_->StatusWindow() != nullptr && windows_->StatusWindow()->isVisible();
  }));
  // While pictures transfer, the user scrolls and selects, and sees each change painted.
  int during = 0;
  for (int step = 0; step < 500 && windows_->StatusWindow()->isVisible(); step++) {
    int before = counter.paints;
    Window()->ListView()->verticalScrollBar()->setValue((step % 20) * 40);
    Window()->List().Select(step % 50);
    if (WaitFor([&] { return counter.paints > before; }) && windows_->StatusWindow()->isVisible())
      during++;
  }
  EXPECT_GE(during, 3);
  ASSERT_TRUE(WaitFor([&] { return !windows_->StatusWindow()->isVisible(); }));
  Settle();
  testing::internal::GetCapturedStderr();
}

}  // namespace
