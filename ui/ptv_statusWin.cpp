#include "ui/ptv_statusWin.h"

#include <QCloseEvent>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <algorithm>
#include <climits>

#include "app/ProgressFigures.h"
#include "ui/Frame.h"

namespace {

constexpr QRect kWindowFrame = Frame(100, 100, 400, 202);
constexpr QRect kViewFrame = Frame(0, 0, 300, 150);
constexpr QRect kBarFrame = Frame(5, 30, 295, 46);
// The figures line under the bar, and "Cancel" under its right end.
constexpr QRect kFiguresFrame = Frame(10, 50, 290, 68);
constexpr QRect kCancelFrame = Frame(215, 73, 295, 98);
constexpr QPoint kLinePen(10, 25);
constexpr int kLineCharacters = 99;
const QString kGap = QStringLiteral("  ");
constexpr int kDetailPercent = 85;

// The first 99 characters: a longer text is cut to fit the line, never inside a character.
QString FitLine(const char* text) {
  const QList<uint> characters = QString::fromUtf8(text).toUcs4();
  if (characters.size() <= kLineCharacters) return QString::fromUtf8(text);
  return QString::fromUcs4(reinterpret_cast<const char32_t*>(characters.constData()),
                           kLineCharacters);
}

}  // namespace

ptv_statview::ptv_statview(uint64_t total, const char* text, QWidget* parent)
    : QWidget(parent), maximum_(total), bar_(new QProgressBar(this)) {
  setObjectName(QStringLiteral("statview"));
  setGeometry(kViewFrame);
  setAutoFillBackground(true);
  setBackgroundRole(QPalette::Window);
  bar_->setObjectName(QStringLiteral("statbar"));
  bar_->setGeometry(kBarFrame);
  bar_->setTextVisible(false);
  SetLine(text);
  ShowProgress();
  pending_.setSingleShot(true);
  connect(&pending_, &QTimer::timeout, this, &ptv_statview::ShowFigures);
  run_.start();
  ShowFigures();
}

void ptv_statview::reset(uint64_t total) {
  value_ = 0;
  maximum_ = total;
  name_.clear();
  run_.start();
  ShowProgress();
  ShowFigures();
}

void ptv_statview::SetPicture(const char* path) {
  // The camera path's last part is the name the picture takes in the folder.
  name_ = QString::fromUtf8(path).section(QLatin1Char('\\'), -1);
  RefreshFigures();
}

void ptv_statview::updatestatus(uint32_t n, const char* text) {
  if (text != nullptr) {
    SetLine(text);
    update();
  }
  // A bar is never fuller than full.
  value_ = std::min(value_ + n, maximum_);
  ShowProgress();
  if (n != 0) RefreshFigures();
}

void ptv_statview::RefreshFigures() {
  if (pending_.isActive()) return;
  const qint64 wait = shown_.isValid() ? kProgressInterval.count() - shown_.elapsed() : 0;
  if (wait > 0)
    pending_.start(int(wait));
  else
    ShowFigures();
}

void ptv_statview::ShowFigures() {
  pending_.stop();
  shown_.start();
  figures_ =
      QString::fromStdString(ProgressFigures(value_, maximum_, double(run_.nsecsElapsed()) / 1e9));
  update(kFiguresFrame);
}

void ptv_statview::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setPen(Qt::black);
  painter.drawText(kLinePen, line_);
  // In a smaller face, as the line's detail; the name gives way first, since the figures are
  // what the line is for.
  QFont detail = font();
  if (detail.pixelSize() > 0)
    detail.setPixelSize(std::max(1, detail.pixelSize() * kDetailPercent / 100));
  else
    detail.setPointSizeF(detail.pointSizeF() * kDetailPercent / 100);
  painter.setFont(detail);
  const QFontMetrics metrics(detail);
  const int room = kFiguresFrame.width() - metrics.horizontalAdvance(kGap + figures_);
  const QString name = metrics.elidedText(name_, Qt::ElideMiddle, std::max(room, 0));
  painter.drawText(kFiguresFrame, Qt::AlignLeft | Qt::AlignVCenter,
                   name.isEmpty() ? figures_ : name + kGap + figures_);
}

QString ptv_statview::FiguresLine() const {
  return name_.isEmpty() ? figures_ : name_ + kGap + figures_;
}

void ptv_statview::SetLine(const char* text) {
  line_ = text != nullptr ? FitLine(text) : QString();
}

void ptv_statview::ShowProgress() {
  // The widget counts in int: halve both ends until the total fits, so that full stays full.
  int shift = 0;
  while ((maximum_ >> shift) > uint64_t(INT_MAX)) shift++;
  // An empty range would make the widget show a busy indicator instead of an empty bar.
  bar_->setRange(0, std::max<int>(int(maximum_ >> shift), 1));
  bar_->setValue(int(value_ >> shift));
}

ptv_statusWin::ptv_statusWin(uint64_t total, const char* text)
    : view_(new ptv_statview(total, text, this)),
      cancel_(new QPushButton(QStringLiteral("Cancel"), this)) {
  setWindowTitle(QStringLiteral("pictrove status"));
  setGeometry(kWindowFrame);
  setFixedSize(kWindowFrame.size());
  setAttribute(Qt::WA_DeleteOnClose);
  cancel_->setObjectName(QStringLiteral("cancelbut"));
  cancel_->setGeometry(kCancelFrame);
  cancel_->setEnabled(false);
  connect(cancel_, &QPushButton::clicked, this, &ptv_statusWin::Cancel);
}

void ptv_statusWin::SetCancellable(bool cancellable) {
  cancel_->setEnabled(cancellable);
}

void ptv_statusWin::Cancel() {
  // Asked once: the operation ends at its next step and closes the window itself.
  if (!cancel_->isEnabled()) return;
  cancel_->setEnabled(false);
  emit CancelRequested();
}

void ptv_statusWin::closeEvent(QCloseEvent* event) {
  // A progress window closed by the user means the work shown is not wanted any more.
  Cancel();
  event->accept();
  emit Closed();
}
