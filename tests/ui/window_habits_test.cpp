// What a new user meets first: the window's size, keys and empty list, alerts, folder panel.
#include <gtest/gtest.h>
#include <QMenuBar>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "kit/Alert.h"
#include "tests/app/picture_list_rows.h"
#include "tests/support/Environment.h"
#include "tests/ui/picture_row_support.h"
#include "tests/ui/window_look.h"
#include "ui/PicturesFolder.h"
#include "ui/QtAlerts.h"
#include "ui/ptv_FilePanel.h"
#include "ui/ptv_mainWin.h"
#include "ui/ptv_picListView.h"

namespace {

// Pixels across the list's middle, where the sentence stands, that are not its background.
int Drawn(ptv_picListView& view) {
  QApplication::processEvents();
  const QImage image = view.viewport()->grab().toImage();
  int drawn = 0;
  for (int x = 0; x < image.width(); x++)
    drawn += image.pixel(x, image.height() / 2) != view.palette().color(QPalette::Base).rgb();
  return drawn;
}

// The content frame (100, 100) to (500, 400) holds the menu bar; F10 opens the first menu.
TEST(WindowHabits, OpensAtItsSmallestSizeSaysNoCameraAndF10OpensTheFileMenu) {
  uitest::PinnedLook look;
  ptv_mainWin window;
  window.ListView()->setFont(rowpixels::RowFont());
  ASSERT_TRUE(QFontMetrics(window.ListView()->font()).inFont(QLatin1Char('N')));
  window.show();
  EXPECT_EQ(window.geometry(), QRect(100, 100, 401, 301));
  EXPECT_EQ(window.ListView()->EmptyText(),
            "No camera. Plug in the camera and switch it to playback.");
  EXPECT_GT(Drawn(*window.ListView()), 20);
  window.List().add_item(rows::Make(100, 0x20, nullptr));
  EXPECT_EQ(Drawn(*window.ListView()), 0);  // a row without a thumbnail hides the sentence
  window.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
  QTest::keyClick(window.ListView(), Qt::Key_F10);
  QMenu* file = window.menuBar()->actions()[0]->menu();
  ASSERT_TRUE(uitest::WaitUntil([&] { return file->isVisible(); }));
  file->hide();
}

TEST(WindowHabits, AlertsHoldTheirTitle) {
  uitest::PinnedLook look;
  InstallQtAlerts();
  int room = 0;                // the box's width beyond its title's
  QTimer::singleShot(0, [&] {  // read and answered from the loop of the modal box
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    room = box->width() - QFontMetrics(box->font()).horizontalAdvance(box->windowTitle());
    box->reject();
  });
  kit::ShowAlert({"pictrove error", "Ok?", "", {"Ok"}});
  EXPECT_GE(room, 100);
}

// The desktop tool's answer (none: no tool), else ~/Pictures, else home; PATH has no other.
TEST(WindowHabits, TheFolderPanelStartsInThePicturesFolder) {
  const char* cases[][3] = {{"Bilder", "home/Pictures", "Bilder"},
                            {"gone", "home/Pictures", "home/Pictures"},
                            {nullptr, "home/Pictures", "home/Pictures"},
                            {nullptr, "home", "home"}};
  for (auto [answer, made, expected] : cases) {
    QTemporaryDir scratch;
    const QDir root(scratch.path());
    for (const char* folder : {"tools", "Bilder", made}) ASSERT_TRUE(root.mkpath(folder));
    QFile tool(root.filePath("tools/xdg-user-dir"));
    if (answer != nullptr && tool.open(QIODevice::WriteOnly)) {
      tool.write("#!/bin/sh\n[ \"$1\" = PICTURES ] && echo " + root.filePath(answer).toUtf8());
      tool.close();
      tool.setPermissions(QFile::ReadOwner | QFile::ExeOwner);
    }
    testsupport::EnvironmentSetting home("HOME", root.filePath("home").toStdString());
    testsupport::EnvironmentSetting path("PATH", root.filePath("tools").toStdString());
    EXPECT_EQ(PicturesFolder(), root.filePath(expected)) << expected;
    EXPECT_EQ(ptv_FilePanel().directory().absolutePath(), root.filePath(expected));
  }
}

}  // namespace
