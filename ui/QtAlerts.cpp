#include "ui/QtAlerts.h"

#include <QApplication>
#include <QFontMetrics>
#include <QGridLayout>
#include <QMessageBox>
#include <QPushButton>
#include <QThread>
#include <condition_variable>
#include <cstdio>
#include <memory>
#include <mutex>

#include "kit/Alert.h"

namespace {

// Window managers cut a title that is wider than its window: the box is made wide enough
// for its title in a bold face, beside the title bar's buttons.
void WideEnoughForTitle(QMessageBox& box) {
  constexpr int kTitleBarButtons = 120;
  QFont bold = box.font();
  bold.setBold(true);
  const int width = QFontMetrics(bold).horizontalAdvance(box.windowTitle()) + kTitleBarButtons;
  if (auto* grid = qobject_cast<QGridLayout*>(box.layout()))
    grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Minimum),
                  grid->rowCount(), 0, 1, grid->columnCount());
}

}  // namespace

std::vector<QPushButton*> FillMessageBox(QMessageBox& box, const kit::AlertRequest& request) {
  box.setWindowTitle(QString::fromStdString(request.title));
  box.setText(QString::fromStdString(request.text));
  if (!request.detail.empty()) box.setInformativeText(QString::fromStdString(request.detail));
  switch (request.icon) {
    case kit::AlertIcon::Info:
      box.setIcon(QMessageBox::Information);
      break;
    case kit::AlertIcon::Warning:
      box.setIcon(QMessageBox::Warning);
      break;
    case kit::AlertIcon::Stop:
      box.setIcon(QMessageBox::Critical);
      break;
  }
  std::vector<QPushButton*> buttons;
  for (const std::string& label : request.buttons)
    buttons.push_back(box.addButton(QString::fromStdString(label), QMessageBox::ActionRole));
  if (!buttons.empty()) box.setDefaultButton(buttons.back());
  if (request.escape_button >= 0 && size_t(request.escape_button) < buttons.size())
    box.setEscapeButton(buttons[request.escape_button]);
  WideEnoughForTitle(box);
  return buttons;
}

namespace {

int RunMessageBox(const kit::AlertRequest& request) {
  QMessageBox box;
  std::vector<QPushButton*> buttons = FillMessageBox(box, request);
  box.exec();
  for (size_t i = 0; i < buttons.size(); i++)
    if (box.clickedButton() == buttons[i]) return int(i);
  return kit::EscapeAnswer(request);
}

// An alert nobody can see any more is answered as if dismissed, and said on standard error
// (the only alert that is), since no box will ever show it.
int Dismissed(const kit::AlertRequest& request) {
  fprintf(stderr, "%s: %s (not shown: the windows have gone)\n", request.title.c_str(),
          request.text.c_str());
  return kit::EscapeAnswer(request);
}

// Whether the GUI loop has ended, and the answers of alerts shown for other threads.
std::mutex gui_mutex;
std::condition_variable gui_changed;
bool gui_ended = false;

struct Answer {
  bool given = false;
  int pressed = -1;
};

// On another thread: the alert runs on the GUI thread while the caller waits for its answer
// or for the GUI loop to end, whichever comes first.
int ShowFromOtherThread(QCoreApplication* application, const kit::AlertRequest& request) {
  auto answer = std::make_shared<Answer>();
  {
    std::lock_guard<std::mutex> guard(gui_mutex);
    if (gui_ended) return Dismissed(request);
  }
  QMetaObject::invokeMethod(
      application,
      [answer, request] {
        {
          std::lock_guard<std::mutex> guard(gui_mutex);
          if (gui_ended) return;
        }
        int pressed = RunMessageBox(request);
        std::lock_guard<std::mutex> guard(gui_mutex);
        answer->pressed = pressed;
        answer->given = true;
        gui_changed.notify_all();
      },
      Qt::QueuedConnection);
  std::unique_lock<std::mutex> lock(gui_mutex);
  gui_changed.wait(lock, [&] { return answer->given || gui_ended; });
  if (answer->given) return answer->pressed;
  lock.unlock();
  return Dismissed(request);
}

class QtAlertHandler : public kit::AlertHandler {
 public:
  int Show(const kit::AlertRequest& request) override {
    QCoreApplication* application = QCoreApplication::instance();
    if (application == nullptr) return int(request.buttons.size()) - 1;  // the default button
    if (QThread::currentThread() == application->thread()) return RunMessageBox(request);
    return ShowFromOtherThread(application, request);
  }

  void GuiLoopEnded(bool ended) override {
    std::lock_guard<std::mutex> guard(gui_mutex);
    gui_ended = ended;
    gui_changed.notify_all();
  }
};

}  // namespace

void InstallQtAlerts() {
  static QtAlertHandler handler;
  kit::SetStandardAlertHandler(&handler);
}
