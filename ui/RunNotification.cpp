#include "ui/RunNotification.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDesktopServices>
#include <QUrl>
#include <QVariantMap>

namespace {

const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");
const QString kOpenAction = QStringLiteral("default");

void OpenInFileManager(const QString& folder) {
  QDesktopServices::openUrl(QUrl::fromLocalFile(folder));
}

QString Pictures(uint32_t count) {
  return count == 1 ? QStringLiteral("1 picture") : QStringLiteral("%1 pictures").arg(count);
}

}  // namespace

RunNotifier::RunNotifier(std::function<void(const QString&)> open)
    : open_(open ? std::move(open) : OpenInFileManager) {
  QDBusConnection bus = QDBusConnection::sessionBus();
  if (!bus.isConnected()) return;
  bus.connect(kService, kPath, kService, QStringLiteral("ActionInvoked"), this,
              SLOT(ActionInvoked(uint, QString)));
  bus.connect(kService, kPath, kService, QStringLiteral("NotificationClosed"), this,
              SLOT(NotificationClosed(uint, uint)));
}

QString RunNotifier::Summary() {
  return QStringLiteral("pictrove: download finished");
}

QString RunNotifier::Body(uint32_t done, uint32_t failed, const QString& folder) {
  QString body = done == 0 ? QStringLiteral("No picture came into %1.").arg(folder)
                           : QStringLiteral("%1 came into %2.").arg(Pictures(done), folder);
  if (failed != 0) body += QStringLiteral(" %1 failed.").arg(Pictures(failed));
  return body;
}

void RunNotifier::RunEnded(uint32_t done, uint32_t failed, const QString& folder) {
  QDBusConnection bus = QDBusConnection::sessionBus();
  if (!bus.isConnected()) return;
  QDBusMessage notify =
      QDBusMessage::createMethodCall(kService, kPath, kService, QStringLiteral("Notify"));
  QVariantMap hints{{QStringLiteral("desktop-entry"), QStringLiteral("pictrove")}};
  notify << QStringLiteral("pictrove") << uint(0) << QStringLiteral("pictrove") << Summary()
         << Body(done, failed, folder) << QStringList{kOpenAction, QStringLiteral("Open Folder")}
         << hints << int(-1);
  auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(notify), this);
  connect(watcher, &QDBusPendingCallWatcher::finished, this,
          [this, folder](QDBusPendingCallWatcher* call) {
            QDBusPendingReply<uint> reply = *call;
            if (!reply.isError()) folders_[reply.value()] = folder;
            call->deleteLater();
          });
}

void RunNotifier::ActionInvoked(uint id, const QString& action) {
  auto found = folders_.find(id);
  if (found == folders_.end() || action != kOpenAction) return;
  open_(found->second);
}

void RunNotifier::NotificationClosed(uint id, uint) {
  folders_.erase(id);
}
