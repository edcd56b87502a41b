// The alert's window is wide enough for its whole title, however short its text.
#include <gtest/gtest.h>
#include <QApplication>
#include <QFontMetrics>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include "kit/Alert.h"
#include "tests/ui/window_look.h"

namespace {

TEST(AlertWidth, HoldsItsTitle) {
  uitest::PinnedLook look;
  kit::AlertRequest request;
  request.title = "pictrove error";
  request.text = "Ok?";
  request.buttons = {"Ok"};
  int width = 0, title = 0;
  // Read and answered from the loop the modal box runs.
  QTimer::singleShot(0, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    ASSERT_NE(box, nullptr);
    width = box->width();
    title = QFontMetrics(box->font()).horizontalAdvance(box->windowTitle());
    box->buttons().first()->click();
  });
  EXPECT_EQ(kit::ShowAlert(request), 0);
  EXPECT_GT(title, 0);
  EXPECT_GE(width, title + 100);
}

}  // namespace
