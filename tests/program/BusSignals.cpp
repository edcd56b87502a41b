#include "tests/program/BusSignals.h"

#include "ui/DbusService.h"

namespace {
constexpr char kConnection[] = "listener";
}

BusSignals::BusSignals(const QStringList& names, const char* object) {
  QDBusConnection bus = QDBusConnection::connectToBus(QDBusConnection::SessionBus, kConnection);
  for (const QString& name : names)
    bus.connect(QString(), object, kBusInterface, name, this, SLOT(Received(QDBusMessage)));
}

BusSignals::~BusSignals() {
  QDBusConnection::disconnectFromBus(kConnection);
}

void BusSignals::Received(const QDBusMessage& message) {
  QStringList words = {message.member()};
  for (const QVariant& argument : message.arguments()) words << argument.toString();
  received << words.join(' ');
}
