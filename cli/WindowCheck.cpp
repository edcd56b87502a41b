#include "cli/WindowCheck.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>

#include "app/BusName.h"

bool WindowRunning() {
  QDBusConnection bus = QDBusConnection::sessionBus();
  if (!bus.isConnected() || bus.interface() == nullptr) return false;
  return bus.interface()->isServiceRegistered(kBusName).value();
}
