// A main window that is only its picture list: what the command line, the tests and the
// benchmarks give the application where no window is drawn.
#pragma once

#include <atomic>

#include "app/MainWindow.h"
#include "app/PictureList.h"

class ListOnlyWindow : public MainWindow {
 public:
  PictureList& List() override { return list; }
  void Show() override { shown = true; }

  PictureList list;
  std::atomic<bool> shown{false};  // whether the application has shown it
};
