// The main window as the application sees it. The widget side (ui/ptv_mainWin) implements
// it; tests use a plain one around a PictureList.
#pragma once

class PictureList;

class MainWindow {
 public:
  virtual ~MainWindow() = default;

  // The picture list and, through it, the main window's lock.
  virtual PictureList& List() = 0;
  // Callable from any thread: the window is shown by the GUI thread.
  virtual void Show() = 0;
};
