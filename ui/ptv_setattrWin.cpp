#include "ui/ptv_setattrWin.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <utility>

#include "app/messages.h"
#include "ui/AuxiliaryWindow.h"
#include "ui/Frame.h"
#include "ui/SingleWindow.h"

namespace {

constexpr QRect kWindowFrame = Frame(100, 100, 400, 270);
constexpr QRect kViewFrame = Frame(0, 0, 300, 170);
constexpr QRect kDownloadedFrame = Frame(5, 20, 295, 60);
constexpr QRect kProtectedFrame = Frame(5, 80, 295, 120);
constexpr QRect kApplyFrame = Frame(5, 140, 100, 160);

struct Choice {
  const char* label;
  int32_t value;
  QRect frame;
};

// In the order of their names within a box.
constexpr Choice kChoices[] = {
    {"Ignore", kIgnore, Frame(5, 15, 95, 30)},
    {"Set", kSet, Frame(110, 15, 195, 30)},
    {"Unset", kUnset, Frame(200, 15, 285, 30)},
};

SingleWindow<ptv_setattrWin>& Window() {
  static SingleWindow<ptv_setattrWin> window;
  return window;
}

}  // namespace

ptv_setattrWin::ptv_setattrWin(WindowTarget target)
    : target_(std::move(target)), downloaded_(kIgnore), protected_(kIgnore) {
  setWindowTitle(QStringLiteral("pictrove setattr"));
  setGeometry(kWindowFrame);
  setFixedSize(kWindowFrame.size());
  setAttribute(Qt::WA_DeleteOnClose);
  CloseOnEscape(this);

  auto* view = new QWidget(this);
  view->setObjectName(QStringLiteral("ptv_view"));
  view->setGeometry(kViewFrame);
  view->setAutoFillBackground(true);
  view->setBackgroundRole(QPalette::Window);
  AddGroup(view, "dwn_view", "Downloaded", kDownloadedFrame, 1, &downloaded_);
  AddGroup(view, "prt_view", "Delete protected", kProtectedFrame, 4, &protected_);

  auto* apply = new QPushButton(QStringLiteral("Set"), view);
  apply->setObjectName(QStringLiteral("okbut"));
  apply->setGeometry(kApplyFrame);
  connect(apply, &QPushButton::clicked, this, &ptv_setattrWin::Apply);
}

void ptv_setattrWin::AddGroup(QWidget* parent, const char* name, const char* label,
                              const QRect& frame, int first, int32_t* choice) {
  auto* box = new QGroupBox(QString::fromLatin1(label), parent);
  box->setObjectName(QLatin1String(name));
  box->setGeometry(frame);
  auto* group = new QButtonGroup(box);
  int number = first;
  for (const Choice& option : kChoices) {
    auto* button = new QRadioButton(QString::fromLatin1(option.label), box);
    button->setObjectName(QStringLiteral("rbut%1").arg(number++));
    button->setGeometry(option.frame);
    group->addButton(button, option.value);
  }
  group->button(kIgnore)->setChecked(true);
  // However a button gets switched on (mouse, keys), the choice follows what is shown.
  connect(group, &QButtonGroup::idToggled, this, [choice](int id, bool on) {
    if (on) *choice = id;
  });
}

void ptv_setattrWin::Apply() {
  kit::Message message(kApplyAttributes);
  message.AddInt32("downloaded", downloaded_);
  message.AddInt32("protected", protected_);
  target_.Send(std::move(message));
}

void opensetattr() {
  BringToFront(Window().Obtain([] { return new ptv_setattrWin; }));
}

ptv_setattrWin* SetattrWindow() {
  return Window().Get();
}
