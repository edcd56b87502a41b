#include "ui/ptv_mainWin.h"

#include <QApplication>
#include <QCloseEvent>
#include <QThread>

#include "app/messages.h"
#include "app/ptv_App.h"
#include "ui/ptv_picListView.h"

namespace {

// The content frame runs from (100, 100) to (500, 400), both corners included.
constexpr int kLeft = 100, kTop = 100, kWidth = 401, kHeight = 301;
constexpr int kMaxWidth = 801, kMaxHeight = 1001;

}  // namespace

ptv_mainWin::ptv_mainWin() : listview_(new ptv_picListView(list_, this)) {
  setWindowTitle("pictrove");
  setGeometry(kLeft, kTop, kWidth, kHeight);
  setMinimumSize(kWidth, kHeight);
  setMaximumSize(kMaxWidth, kMaxHeight);
  setCentralWidget(listview_);
}

// The view reads the list until it goes: it must go first.
ptv_mainWin::~ptv_mainWin() { delete listview_; }

void ptv_mainWin::Show() {
  QMetaObject::invokeMethod(
      this, [this] { show(); }, Qt::QueuedConnection);
}

void ptv_mainWin::closeEvent(QCloseEvent* event) {
  if (app != nullptr) app->PostMessage(kit::Message(kQuitRequested));
  event->accept();
}

MainWindow* CreateMainWindow() {
  QCoreApplication* qt = QCoreApplication::instance();
  if (QThread::currentThread() == qt->thread()) return new ptv_mainWin();
  ptv_mainWin* window = nullptr;
  QMetaObject::invokeMethod(
      qt, [&] { window = new ptv_mainWin(); }, Qt::BlockingQueuedConnection);
  return window;
}
