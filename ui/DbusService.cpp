#include "ui/DbusService.h"

#include <sys/stat.h>

#include <QDBusConnection>
#include <QDBusError>
#include <QDBusMessage>
#include <cstdio>

#include "app/messages.h"
#include "app/ptv_App.h"
#include "ui/PostToApp.h"
#include "ui/ptv_mainWin.h"

const char kBusInterface[] = "vnd.morv.pictrove.Messages";

namespace {

void ToMainWindow(kit::Message message) {
  auto* window = app != nullptr ? dynamic_cast<ptv_mainWin*>(app->MainWin()) : nullptr;
  if (window != nullptr) window->PostMessage(std::move(message));
}

}  // namespace

MessagePort::MessagePort(std::set<uint32_t> codes, std::function<void(kit::Message)> deliver)
    : codes_(std::move(codes)), deliver_(std::move(deliver)) {}

void MessagePort::Post(const QString& code, const QStringList& refs) {
  uint32_t what;
  if (code.size() != 4 || !kit::ParseFourCC(code.toLatin1().toStdString(), &what)) {
    sendErrorReply(QDBusError::InvalidArgs, "a message code is four characters");
    return;
  }
  if (codes_.count(what) == 0) {
    sendErrorReply(QDBusError::InvalidArgs, "'" + code + "' is not a code this object takes");
    return;
  }
  kit::Message message(what);
  for (const QString& ref : refs) {
    struct stat status;
    if (stat(ref.toLocal8Bit().constData(), &status) != 0) {
      sendErrorReply(QDBusError::InvalidArgs, ref + " does not exist");
      return;
    }
    message.AddRef("refs", {ref.toStdString()});
  }
  deliver_(std::move(message));
}

DbusService::DbusService()
    : application_({kUpload, kSelectCurrent, kRefsReceived, kSave, kCancel, kQuitRequested},
                   PostToApp),
      mainwindow_({kDownloadCommand, kDownloadDeleteCommand, kAttributesCommand, kRotateRight,
                   kRotateLeft, kDeleteCommand, kAboutCommand, kQuitCommand, kSelectAll, kSelectNew,
                   kCameraInfoCommand, kUploadCommand},
                  ToMainWindow) {
  QDBusConnection bus = QDBusConnection::sessionBus();
  registered_ =
      bus.isConnected() && bus.registerService(kBusName) &&
      bus.registerObject("/application", &application_, QDBusConnection::ExportAllSlots) &&
      bus.registerObject("/mainwindow", &mainwindow_, QDBusConnection::ExportAllSlots);
  if (!registered_)
    fprintf(stderr,
            "pictrove: no session bus service (%s); other programs cannot send it commands\n",
            qPrintable(bus.lastError().message()));
}

void DbusService::ListingRead(uint32_t pictures) {
  if (!registered_) return;
  QDBusMessage signal = QDBusMessage::createSignal("/application", kBusInterface, "ListingRead");
  signal << pictures;
  QDBusConnection::sessionBus().send(signal);
}

void DbusService::DownloadFinished(uint32_t done, uint32_t failed, const std::string& folder,
                                   uint32_t deleted) {
  if (!registered_) return;
  QDBusMessage signal =
      QDBusMessage::createSignal("/application", kBusInterface, "DownloadFinished");
  signal << done << failed << QString::fromLocal8Bit(folder) << deleted;
  QDBusConnection::sessionBus().send(signal);
}

DbusService::~DbusService() {
  if (!registered_) return;
  QDBusConnection bus = QDBusConnection::sessionBus();
  bus.unregisterObject("/application");
  bus.unregisterObject("/mainwindow");
  bus.unregisterService(kBusName);
}
