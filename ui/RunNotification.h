// At the end of a download run, a desktop notification over the session bus: how many
// pictures came into which folder and how many failed, with an action that opens the
// folder. Where no notification service runs the bus refuses the call and nothing shows.
#pragma once

#include <QObject>
#include <QString>
#include <cstdint>
#include <functional>
#include <map>

class RunNotifier : public QObject {
  Q_OBJECT

 public:
  // `open` shows a folder to the user; the file manager unless a test gives its own.
  explicit RunNotifier(std::function<void(const QString&)> open = nullptr);

  // On the GUI thread; never waits for the service.
  void RunEnded(uint32_t done, uint32_t failed, const QString& folder);

  // The notification's texts.
  static QString Summary();
  static QString Body(uint32_t done, uint32_t failed, const QString& folder);

 private slots:
  void ActionInvoked(uint id, const QString& action);
  void NotificationClosed(uint id, uint reason);

 private:
  std::function<void(const QString&)> open_;
  std::map<uint, QString> folders_;  // by the id the service gave each notification
};
