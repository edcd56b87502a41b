// Records the signals one of the program's bus objects sends, as a script listening on the
// session bus would get them.
#pragma once

#include <QDBusConnection>
#include <QDBusMessage>
#include <QObject>
#include <QStringList>

class BusSignals : public QObject {
  Q_OBJECT

 public:
  // Listens from a connection of its own for the signals of that name.
  BusSignals(const QStringList& names, const char* object);
  ~BusSignals() override;

  // Each signal received: its name and arguments, written out ("DownloadFinished 2 0 /tmp/x").
  QStringList received;

 public slots:
  void Received(const QDBusMessage& message);
};
