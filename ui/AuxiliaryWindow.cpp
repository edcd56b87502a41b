#include "ui/AuxiliaryWindow.h"

#include <QApplication>
#include <QScreen>
#include <QShortcut>
#include <algorithm>

#include "ui/ptv_mainWin.h"

namespace {

// Between the main window and one beside it.
constexpr int kGap = 8;

const QWidget* VisibleMainWindow() {
  for (QWidget* widget : QApplication::topLevelWidgets())
    if (qobject_cast<ptv_mainWin*>(widget) != nullptr && widget->isVisible()) return widget;
  return nullptr;
}

}  // namespace

QIcon ProgramIcon() {
  return QIcon(QStringLiteral(":/pictrove.svg"));
}

void PlaceBesideMainWindow(QWidget* window) {
  const QWidget* main = VisibleMainWindow();
  if (main == nullptr) return;
  const QRect room = main->screen()->availableGeometry();
  const QRect anchor = main->frameGeometry();
  // A window not yet shown has no frame: reckon with one as thick as the main window's.
  const QSize size = window->isVisible() ? window->frameGeometry().size()
                                         : window->size() + (anchor.size() - main->size());
  QPoint at;
  if (anchor.right() + kGap + size.width() <= room.right()) {
    at = QPoint(anchor.right() + 1 + kGap, anchor.top());
  } else if (anchor.left() - kGap - size.width() >= room.left()) {
    at = QPoint(anchor.left() - kGap - size.width(), anchor.top());
  } else {
    at = anchor.center() - QPoint(size.width() / 2, size.height() / 2);
  }
  at.setX(std::clamp(at.x(), room.left(), std::max(room.left(), room.right() + 1 - size.width())));
  at.setY(std::clamp(at.y(), room.top(), std::max(room.top(), room.bottom() + 1 - size.height())));
  window->move(at);
}

void CloseOnEscape(QWidget* window) {
  auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), window);
  QObject::connect(escape, &QShortcut::activated, window, &QWidget::close);
}
