#include "ui/RunPictrove.h"

#include <QApplication>
#include <memory>

#include "app/ptv_App.h"
#include "ui/ptv_mainWin.h"

int RunPictrove(QApplication& qt) {
  MainWindow* window = nullptr;
  auto application = std::make_unique<ptv_App>(
      [&window] { return window = CreateMainWindow(); },
      [] { QMetaObject::invokeMethod(qApp, &QCoreApplication::quit, Qt::QueuedConnection); });
  app = application.get();
  app->Start();
  int status = qt.exec();
  // The application thread and the roster end before the window they report to.
  application.reset();
  app = nullptr;
  delete window;
  return status;
}
