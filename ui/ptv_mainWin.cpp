#include "ui/ptv_mainWin.h"

#include <QApplication>
#include <QCloseEvent>
#include <QMenuBar>
#include <QPushButton>
#include <QShortcut>
#include <QThread>

#include "app/Orientation.h"
#include "app/Settings.h"
#include "app/messages.h"
#include "app/ptv_App.h"
#include "kit/Alert.h"
#include "ui/EmptyListText.h"
#include "ui/PostToApp.h"
#include "ui/UploadPanel.h"
#include "ui/ptv_FilePanel.h"
#include "ui/ptv_aboutWin.h"
#include "ui/ptv_picListView.h"
#include "ui/ptv_setattrWin.h"

namespace {

// The content frame runs from (100, 100) to (500, 400), both corners included; it may grow
// to 800 by 1000.
constexpr int kLeft = 100, kTop = 100, kWidth = 401, kHeight = 301;
constexpr int kMaxWidth = 801, kMaxHeight = 1001;

// Below the list: 10 to the buttons' top, which stand 10 high (their own height permitting).
constexpr int kListBottomGap = 39;  // from the list's last row to the background's last
constexpr int kButtonTopGap = 29;   // from the buttons' top to the background's last row

struct Command {
  const char* label;  // empty: a separator
  const char* shortcut;
  uint32_t code;
};

const Command kFileMenu[] = {
    {"Download\u2026", "Ctrl+S", kDownloadCommand},
    {"Download and delete\u2026", nullptr, kDownloadDeleteCommand},
    {"Set attributes\u2026", nullptr, kAttributesCommand},
    {"", nullptr, 0},
    {"Rotate right", "Ctrl+R", kRotateRight},
    {"Rotate Left", "Ctrl+L", kRotateLeft},
    {"", nullptr, 0},
    {"Delete\u2026", nullptr, kDeleteCommand},
    {"", nullptr, 0},
    {"About pictrove\u2026", nullptr, kAboutCommand},
    {"", nullptr, 0},
    {"Quit", "Ctrl+Q", kQuitCommand},
};

const Command kEditMenu[] = {
    {"Select All", "Ctrl+A", kSelectAll},
    {"Select New", "Ctrl+N", kSelectNew},
    {"", nullptr, 0},
    {"Camera info\u2026", "Ctrl+I", kCameraInfoCommand},
};

}  // namespace

ptv_mainWin::ptv_mainWin()
    : background_(new QWidget(this)), listview_(new ptv_picListView(list_, background_)) {
  setWindowTitle("pictrove");
  BuildMenus();
  background_->setObjectName("ptv_view");
  background_->setAutoFillBackground(true);
  setCentralWidget(background_);
  BuildButtons(background_);
  // The Delete key asks as "Delete…" does; the menu item itself has no shortcut.
  auto* erase = new QShortcut(QKeySequence(Qt::Key_Delete), this);
  connect(erase, &QShortcut::activated, this, [this] { Send(kDeleteCommand); });
  // F10 opens the first menu, as on the rest of the desktop.
  auto* menus = new QShortcut(QKeySequence(Qt::Key_F10), this);
  connect(menus, &QShortcut::activated, this,
          [this] { menuBar()->setActiveAction(menuBar()->actions().value(0)); });
  listview_->SetEmptyText(QString::fromUtf8(kNoCameraText));
  // The content frame holds the menu bar too: the window opens at its smallest size.
  setGeometry(kLeft, kTop, kWidth, kHeight);
  setMinimumSize(kWidth, kHeight);
  setMaximumSize(kMaxWidth, kMaxHeight);
}

// The view reads the list until it goes: it must go first.
ptv_mainWin::~ptv_mainWin() {
  delete listview_;
}

void ptv_mainWin::BuildMenus() {
  QMenuBar* bar = menuBar();
  bar->setObjectName("menu_bar");
  auto fill = [this](QMenu* menu, const auto& commands) {
    for (const Command& command : commands) {
      if (command.label[0] == '\0') {
        menu->addSeparator();
        continue;
      }
      QAction* action = menu->addAction(QString::fromUtf8(command.label));
      if (command.shortcut != nullptr) action->setShortcut(QKeySequence(command.shortcut));
      uint32_t code = command.code;
      connect(action, &QAction::triggered, this, [this, code] { Send(code); });
    }
  };
  // Alt+F and Alt+E open them.
  fill(bar->addMenu("&File"), kFileMenu);
  fill(bar->addMenu("&Edit"), kEditMenu);
}

void ptv_mainWin::BuildButtons(QWidget* background) {
  auto make = [this, background](const char* label, const char* name, uint32_t what) {
    auto* button = new QPushButton(label, background);
    button->setObjectName(name);
    connect(button, &QPushButton::clicked, this, [this, what] { Send(what); });
    return button;
  };
  download_button_ = make("Download", "downbut", kDownloadCommand);
  delete_button_ = make("Delete", "delbut", kDeleteCommand);
  setattr_button_ = make("Setattr", "attrbut", kAttributesCommand);
}

void ptv_mainWin::Send(uint32_t what) {
  kit::Message message(what);
  MessageReceived(&message);
}

void ptv_mainWin::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  Layout();
}

void ptv_mainWin::Layout() {
  // In the background's coordinates; the list follows all four edges, the buttons the bottom.
  int bottom = background_->height() - 1;
  int right = background_->width() - 1;
  listview_->setGeometry(QRect(QPoint(4, 4), QPoint(right - 4, bottom - kListBottomGap + 1)));
  int top = bottom - kButtonTopGap;
  int height = std::max(11, download_button_->sizeHint().height());
  download_button_->setGeometry(5, top, 96, height);
  delete_button_->setGeometry(110, top, 96, height);
  setattr_button_->setGeometry(215, top, 96, height);
}

void ptv_mainWin::Show() {
  QMetaObject::invokeMethod(
      this, [this] { show(); }, Qt::QueuedConnection);
}

void ptv_mainWin::PostMessage(kit::Message message) {
  QMetaObject::invokeMethod(
      this, [this, message]() mutable { MessageReceived(&message); }, Qt::QueuedConnection);
}

bool ptv_mainWin::HasSelection() {
  std::lock_guard<std::recursive_mutex> guard(list_.Mutex());
  return list_.CurrentSelection(0) >= 0;
}

void ptv_mainWin::MessageReceived(kit::Message* message) {
  switch (message->what) {
    case kDownloadCommand:
      DownloadCommand(false);
      break;
    case kDownloadDeleteCommand:
      DownloadCommand(true);
      break;
    case kAttributesCommand:
      if (HasSelection()) opensetattr();
      break;
    case kRotateRight:
      Rotate_Selected(90);
      break;
    case kRotateLeft:
      Rotate_Selected(270);
      break;
    case kDeleteCommand:
      DeleteCommand();
      break;
    case kAboutCommand:
      AboutRequested();
      break;
    case kQuitCommand:
      PostToApp(kit::Message(kQuitRequested));
      break;
    case kSelectAll:
      list_.SelectAll();
      break;
    case kSelectNew:
      list_.SelectNew();
      break;
    case kCameraInfoCommand:
      PostToApp(kit::Message(kCameraInfo));
      break;
    case kUploadCommand:
      ShowUploadPanel();
      break;
    default:
      break;
  }
}

void ptv_mainWin::DownloadCommand(bool deleting) {
  if (!HasSelection()) return;
  ptv_FilePanel* panel = folder_panel_ ? folder_panel_() : nullptr;
  if (panel == nullptr) return;
  if (deleting && !DownloadAndDeleteConfirmed()) return;
  panel->SetDeleting(deleting);
  std::string folder = ReadDownloadFolder();
  if (!folder.empty()) panel->SetPanelDirectory(QString::fromStdString(folder));
  panel->Show();
}

bool ptv_mainWin::DownloadAndDeleteConfirmed() {
  int selected = 0, deletable = 0;
  {
    std::lock_guard<std::recursive_mutex> guard(list_.Mutex());
    for (int n = 0, index; (index = list_.CurrentSelection(n)) >= 0; n++, selected++)
      deletable += list_.ItemAt(index)->Deletable();
  }
  std::string text = "Download " + std::to_string(selected) + " picture" +
                     (selected == 1 ? "" : "s") + ", then delete " + std::to_string(deletable) +
                     " of them from the camera once each is safe on disk?";
  if (deletable < selected)
    text += " " + std::to_string(selected - deletable) + " protected picture" +
            (selected - deletable == 1 ? " stays" : "s stay") + " on the camera.";
  kit::AlertRequest confirm;
  confirm.title = "pictrove error";
  confirm.text = text;
  confirm.buttons = {"Ok", "Cancel"};
  confirm.escape_button = 1;
  return kit::ShowAlert(confirm) == 0;
}

void ptv_mainWin::DeleteCommand() {
  if (!HasSelection()) return;
  kit::AlertRequest confirm;
  confirm.title = "pictrove error";
  confirm.text = "Do you really want to delete?";
  confirm.buttons = {"Ok", "Cancel"};
  confirm.escape_button = 1;
  if (kit::ShowAlert(confirm) != 0) return;
  PostToApp(kit::Message(kDeleteSelected));
}

void ptv_mainWin::Rotate_Selected(int angle) {
  {
    std::lock_guard<std::recursive_mutex> guard(list_.Mutex());
    for (int n = 0, index; (index = list_.CurrentSelection(n)) >= 0; n++) {
      pic_Item* row = list_.ItemAt(index);
      // Only a JPEG picture is turned on download: another file's thumbnail may turn for
      // the eye, but the code that would turn its file stays as it is.
      if (row->kind == FileKind::kPicture)
        row->set_Orientation(RotatedOrientation(row->orientation, angle));
      row->Rotate(angle);
    }
  }
  list_.Invalidate();
}

void ptv_mainWin::closeEvent(QCloseEvent* event) {
  PostToApp(kit::Message(kQuitRequested));
  event->accept();
}

ptv_mainWin* CreateMainWindow() {
  QCoreApplication* qt = QCoreApplication::instance();
  if (QThread::currentThread() == qt->thread()) return new ptv_mainWin();
  ptv_mainWin* window = nullptr;
  QMetaObject::invokeMethod(
      qt, [&] { window = new ptv_mainWin(); }, Qt::BlockingQueuedConnection);
  return window;
}
