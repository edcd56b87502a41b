// SIGTERM, SIGINT and SIGHUP (a logout, Ctrl+C in the terminal, a closed terminal) end the
// program as its Quit does: a download stops at its next piece, the picture in flight leaves
// nothing behind, and every picture already whole is named and marked before the program
// ends.
#pragma once

#include <QObject>

class QSocketNotifier;

class QuitOnSignal : public QObject {
 public:
  // Installs the handlers for as long as it lives; on the GUI thread.
  QuitOnSignal();
  ~QuitOnSignal() override;

 private:
  QSocketNotifier* notifier_ = nullptr;
};
