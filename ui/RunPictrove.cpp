#include "ui/RunPictrove.h"

#include <QApplication>
#include <memory>

#include "app/ptv_App.h"
#include "kit/Alert.h"
#include "ui/DbusService.h"
#include "ui/QtAppWindows.h"
#include "ui/QuitOnSignal.h"

int RunPictrove(QApplication& qt) {
  QtAppWindows windows;
  auto application = std::make_unique<ptv_App>(windows, [] {
    QMetaObject::invokeMethod(qApp, &QCoreApplication::quit, Qt::QueuedConnection);
  });
  app = application.get();
  DbusService service;
  windows.SetBusService(&service);
  QuitOnSignal quit_on_signal;
  app->Start();
  int status = qt.exec();
  // From here on nothing answers the application's alerts.
  kit::SetGuiLoopEnded(true);
  // The application thread and the roster end before the windows they report to.
  application.reset();
  app = nullptr;
  return status;
}
