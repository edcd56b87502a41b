// The main window: the picture list in a scrolling view, the File and Edit menus and the
// three buttons. Commands that need no camera run here, on the GUI thread; camera work is
// posted to the application thread, so the window stays responsive meanwhile.
#pragma once

#include <QMainWindow>
#include <functional>

#include "app/MainWindow.h"
#include "app/PictureList.h"
#include "kit/Message.h"

class QPushButton;
class ptv_FilePanel;
class ptv_picListView;

class ptv_mainWin : public QMainWindow, public MainWindow {
  Q_OBJECT

 public:
  ptv_mainWin();
  ~ptv_mainWin() override;

  PictureList& List() override { return list_; }
  void Show() override;

  // Handles one of the window's command codes, as its menus and buttons send them.
  void MessageReceived(kit::Message* message);
  // Queues a command for the GUI thread; callable from any thread.
  void PostMessage(kit::Message message);

  // Turns the selected pictures by 90 (right) or 270 (left) degrees.
  void Rotate_Selected(int angle);

  // Where the Download command finds the download folder panel.
  void SetFolderPanel(std::function<ptv_FilePanel*()> panel) { folder_panel_ = std::move(panel); }

  ptv_picListView* ListView() const { return listview_; }

 protected:
  // Closing the window ends the application.
  void closeEvent(QCloseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  // A command as the window's own menus, buttons and keys send it.
  void Send(uint32_t what);
  void BuildMenus();
  void BuildButtons(QWidget* background);
  void Layout();
  bool HasSelection();
  // "Download…", or with `deleting` "Download and delete…", which asks first.
  void DownloadCommand(bool deleting);
  void DeleteCommand();
  // Asks once before a download that deletes, naming how many pictures will leave the camera.
  bool DownloadAndDeleteConfirmed();

  PictureList list_;
  QWidget* background_;
  ptv_picListView* listview_;
  QPushButton* delete_button_;
  QPushButton* download_button_;
  QPushButton* setattr_button_;
  std::function<ptv_FilePanel*()> folder_panel_;
};

// Creates the main window on the GUI thread, whichever thread asks.
ptv_mainWin* CreateMainWindow();
