// Lets other programs send the application and the main window their message codes over
// the session bus, as if the program's own controls had sent them: one object each,
// "/application" and "/mainwindow", with one method Post(s code, as refs).
#pragma once

#include <QDBusContext>
#include <QObject>
#include <QStringList>
#include <functional>
#include <set>
#include <string>

#include "app/BusName.h"
#include "kit/Message.h"

extern const char kBusInterface[];

class MessagePort : public QObject, protected QDBusContext {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "vnd.morv.pictrove.Messages")

 public:
  // `deliver` gets each accepted message; `codes` are the ones this object takes.
  MessagePort(std::set<uint32_t> codes, std::function<void(kit::Message)> deliver);

 public slots:
  void Post(const QString& code, const QStringList& refs);

 private:
  std::set<uint32_t> codes_;
  std::function<void(kit::Message)> deliver_;
};

class DbusService {
 public:
  // On the GUI thread. Without a session bus the program runs on and says so once.
  DbusService();
  ~DbusService();

  // Signals on /application, for scripts that drive the window: callable from any thread.
  void ListingRead(uint32_t pictures);
  void DownloadFinished(uint32_t done, uint32_t failed, const std::string& folder,
                        uint32_t deleted);

 private:
  MessagePort application_;
  MessagePort mainwindow_;
  bool registered_ = false;
};
