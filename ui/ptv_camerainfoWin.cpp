#include "ui/ptv_camerainfoWin.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <cstring>

#include "app/ClockText.h"
#include "app/messages.h"
#include "ui/AuxiliaryWindow.h"
#include "ui/Frame.h"
#include "ui/OwnerNameValidator.h"
#include "ui/PostToApp.h"

namespace {

// The camera's texts are zero-terminated within their fields, or fill them.
template <size_t N>
QString FieldText(const char (&field)[N]) {
  return QString::fromUtf8(field, qsizetype(strnlen(field, N)));
}

QString StorageLine(const CameraFacts& facts) {
  return QStringLiteral("%1 bytes free / %2 bytes total").arg(facts.diskfree).arg(facts.disktotal);
}

QString PowerLine(uint16_t flags) {
  return QStringLiteral("power status: %1, running on %2")
      .arg((flags & 1) != 0 ? QStringLiteral("critical") : QStringLiteral("ok"))
      .arg((flags & 2) != 0 ? QStringLiteral("AC adaptor") : QStringLiteral("battery"));
}

QLabel* Line(const char* name, const QRect& frame, QWidget* parent) {
  auto* label = new QLabel(parent);
  label->setObjectName(QLatin1String(name));
  label->setGeometry(frame);
  // A model name that looks like markup is still shown as it is.
  label->setTextFormat(Qt::PlainText);
  return label;
}

}  // namespace

ptv_camerainfoWin::ptv_camerainfoWin(const CameraFacts& facts) {
  setWindowTitle(QStringLiteral("pictrove camera info"));
  // Below the owner box: the camera's clock and the button that sets it.
  const QRect window = Frame(100, 100, 370, 310);
  setGeometry(window);
  setFixedSize(window.size());
  setAttribute(Qt::WA_DeleteOnClose);
  CloseOnEscape(this);

  auto* view = new QWidget(this);
  view->setObjectName(QStringLiteral("ptv_ciview"));
  view->setGeometry(Frame(0, 0, 270, 210));
  view->setAutoFillBackground(true);
  view->setBackgroundRole(QPalette::Window);
  model_ = Line("cstview", Frame(5, 5, 265, 25), view);
  storage_ = Line("bytesview", Frame(5, 30, 260, 50), view);
  power_ = Line("powerview", Frame(5, 55, 255, 75), view);

  auto* box = new QGroupBox(QStringLiteral("Camera owner"), view);
  box->setObjectName(QStringLiteral("ownerbox"));
  box->setGeometry(Frame(5, 95, 265, 135));
  owner_ = new QLineEdit(box);
  owner_->setObjectName(QStringLiteral("owntext"));
  owner_->setGeometry(Frame(5, 15, 210, 34));
  owner_->setValidator(new OwnerNameValidator(owner_));
  auto* set = new QPushButton(QStringLiteral("Set"), box);
  set->setObjectName(QStringLiteral("setownbut"));
  set->setGeometry(Frame(215, 12, 255, 34));
  connect(set, &QPushButton::clicked, this, &ptv_camerainfoWin::SendOwnerName);

  clock_ = Line("clockview", Frame(5, 140, 265, 175), view);
  clock_->setWordWrap(true);
  auto* set_clock = new QPushButton(QStringLiteral("Set clock"), view);
  set_clock->setObjectName(QStringLiteral("setclockbut"));
  set_clock->setGeometry(Frame(185, 180, 265, 203));
  connect(set_clock, &QPushButton::clicked, this, [] { PostToApp(kit::Message(kSetClock)); });

  Update(facts);
}

void ptv_camerainfoWin::Update(const CameraFacts& facts) {
  model_->setText(FieldText(facts.cameramodel));
  owner_->setText(OwnerNameValidator::Fit(FieldText(facts.ownername)));
  storage_->setText(StorageLine(facts));
  power_->setText(PowerLine(facts.powerflags));
  clock_->setText(QString::fromStdString(ClockLine(facts)));
}

void ptv_camerainfoWin::SendOwnerName() {
  kit::Message message(kSetOwner);
  message.AddString("name", owner_->text().toStdString());
  PostToApp(std::move(message));
}

void ptv_camerainfoWin::closeEvent(QCloseEvent* event) {
  event->accept();
  emit Closed();
}
