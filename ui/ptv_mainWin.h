// The main window: the picture list in a scrolling view, menus and buttons.
#pragma once

#include <QMainWindow>

#include "app/MainWindow.h"
#include "app/PictureList.h"

class ptv_picListView;

class ptv_mainWin : public QMainWindow, public MainWindow {
  Q_OBJECT

 public:
  ptv_mainWin();
  ~ptv_mainWin() override;

  PictureList& List() override { return list_; }
  void Show() override;

  ptv_picListView* ListView() const { return listview_; }

 protected:
  // Closing the window ends the application.
  void closeEvent(QCloseEvent* event) override;

 private:
  PictureList list_;
  ptv_picListView* listview_;
};

// Creates the main window on the GUI thread, whichever thread asks.
MainWindow* CreateMainWindow();
