// A window of which at most one exists: made when first asked for (and placed beside the main
// window), forgotten as soon as it is destroyed (a closed window deletes itself), and deleted
// when the event loop ends if it is still there. GUI thread only.
#pragma once

#include <QCoreApplication>
#include <QPointer>
#include <QWidget>

#include "ui/AuxiliaryWindow.h"

template <typename Window>
class SingleWindow {
 public:
  // None when there is no window.
  Window* Get() const { return window_.data(); }

  // The existing window, else a new one from `make`.
  template <typename Make>
  Window* Obtain(Make make) {
    if (window_.isNull()) {
      window_ = make();
      PlaceBesideMainWindow(window_.data());
      QObject::connect(qApp, &QCoreApplication::aboutToQuit, window_.data(), &QObject::deleteLater);
    }
    return window_.data();
  }

 private:
  QPointer<Window> window_;
};

// Shown, in front of the others and active.
inline void BringToFront(QWidget* window) {
  window->show();
  window->raise();
  window->activateWindow();
}
