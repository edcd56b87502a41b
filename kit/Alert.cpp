#include "kit/Alert.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QThread>
#include <atomic>
#include <cstdio>

namespace kit {

namespace {

int RunMessageBox(const AlertRequest& request) {
  QMessageBox box;
  box.setWindowTitle(QString::fromStdString(request.title));
  box.setText(QString::fromStdString(request.text));
  switch (request.icon) {
    case AlertIcon::Info:
      box.setIcon(QMessageBox::Information);
      break;
    case AlertIcon::Warning:
      box.setIcon(QMessageBox::Warning);
      break;
    case AlertIcon::Stop:
      box.setIcon(QMessageBox::Critical);
      break;
  }
  std::vector<QPushButton*> buttons;
  for (const std::string& label : request.buttons)
    buttons.push_back(box.addButton(QString::fromStdString(label), QMessageBox::ActionRole));
  if (!buttons.empty()) box.setDefaultButton(buttons.back());
  if (request.escape_button >= 0 && size_t(request.escape_button) < buttons.size())
    box.setEscapeButton(buttons[request.escape_button]);
  box.exec();
  for (size_t i = 0; i < buttons.size(); i++)
    if (box.clickedButton() == buttons[i]) return int(i);
  return request.escape_button >= 0 ? request.escape_button : int(buttons.size()) - 1;
}

class QtAlertHandler : public AlertHandler {
 public:
  int Show(const AlertRequest& request) override {
    // Said on standard error too, beside the other diagnostics, for whoever reads them
    // later: a box is gone once it is dismissed.
    fprintf(stderr, "%s: %s\n", request.title.c_str(), request.text.c_str());
    QCoreApplication* application = QCoreApplication::instance();
    if (application == nullptr) return int(request.buttons.size()) - 1;  // the default button
    if (QThread::currentThread() == application->thread()) return RunMessageBox(request);
    int pressed = -1;
    QMetaObject::invokeMethod(
        application, [&] { pressed = RunMessageBox(request); }, Qt::BlockingQueuedConnection);
    return pressed;
  }
};

QtAlertHandler qt_handler;
std::atomic<AlertHandler*> handler{nullptr};

}  // namespace

int ShowAlert(const AlertRequest& request) {
  AlertHandler* installed = handler.load();
  return (installed != nullptr ? installed : &qt_handler)->Show(request);
}

void SetAlertHandler(AlertHandler* replacement) {
  handler.store(replacement);
}

}  // namespace kit
