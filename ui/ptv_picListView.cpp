#include "ui/ptv_picListView.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>
#include <mutex>

#include "ui/EmptyListText.h"
#include "ui/PictureListAccessible.h"
#include "ui/pic_ItemRow.h"

using Guard = std::lock_guard<std::recursive_mutex>;

ptv_picListView::ptv_picListView(PictureList& list, QWidget* parent)
    : QAbstractScrollArea(parent), list_(list) {
  setObjectName(QStringLiteral("ptv_listview"));
  setFocusPolicy(Qt::StrongFocus);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  InstallPictureListAccessible();
  list_.SetObserver(this);
  Relayout();
}

ptv_picListView::~ptv_picListView() {
  // Waits for a notification in progress on another thread; none comes after.
  list_.SetObserver(nullptr);
}

void ptv_picListView::LayoutChanged() {
  if (layoutQueued_.exchange(true)) return;
  QMetaObject::invokeMethod(
      this,
      [this] {
        layoutQueued_ = false;
        Relayout();
      },
      Qt::QueuedConnection);
}

void ptv_picListView::RowsChanged(int index) {
  if (index >= 0) {
    QMetaObject::invokeMethod(
        this, [this, index] { RepaintRow(index); }, Qt::QueuedConnection);
    return;
  }
  if (repaintQueued_.exchange(true)) return;
  QMetaObject::invokeMethod(
      this,
      [this] {
        repaintQueued_ = false;
        viewport()->update();
      },
      Qt::QueuedConnection);
}

void ptv_picListView::Relayout() {
  int total;
  {
    Guard guard(list_.Mutex());
    total = list_.TotalHeight();
    const int count = list_.CountItems();
    if (anchor_ >= count) anchor_ = -1;
    if (current_ >= count) current_ = -1;
  }
  // Outside the lock: the scroll bar's signals repaint at once.
  const int page = viewport()->height();
  verticalScrollBar()->setPageStep(page);
  verticalScrollBar()->setRange(0, std::max(0, total - page));
  UpdateScrollStep();
  viewport()->update();
}

void ptv_picListView::SetEmptyText(const QString& text) {
  emptyText_ = text;
  viewport()->update();
}

void ptv_picListView::RepaintRow(int index) {
  int top;
  int height;
  {
    Guard guard(list_.Mutex());
    const pic_Item* row = list_.ItemAt(index);
    if (!row) return;
    top = list_.ItemTop(index);
    height = row->height;
  }
  viewport()->update(0, top - verticalScrollBar()->value(), viewport()->width(), height);
}

void ptv_picListView::UpdateScrollStep() {
  // One step of the arrows is the height of the row at the top of the view.
  Guard guard(list_.Mutex());
  const pic_Item* top = list_.ItemAt(list_.IndexAt(verticalScrollBar()->value()));
  verticalScrollBar()->setSingleStep(top && top->height > 0 ? top->height : 1);
}

void ptv_picListView::ScrollToRow(int index) {
  int top;
  int bottom;
  {
    Guard guard(list_.Mutex());
    if (index < 0 || index >= list_.CountItems()) return;
    top = list_.ItemTop(index);
    bottom = list_.ItemTop(index + 1);
  }
  QScrollBar* bar = verticalScrollBar();
  const int page = viewport()->height();
  if (top < bar->value() || bottom - top > page) {
    bar->setValue(top);
  } else if (bottom > bar->value() + page) {
    bar->setValue(bottom - page);
  }
}

int ptv_picListView::CurrentRow() const {
  Guard guard(list_.Mutex());
  const int count = list_.CountItems();
  if (count == 0) return -1;
  if (current_ >= 0 && current_ < count) return current_;
  const int selected = list_.CurrentSelection(0);
  return selected >= 0 ? selected : 0;
}

QRect ptv_picListView::RowRect(int index) const {
  Guard guard(list_.Mutex());
  const pic_Item* row = list_.ItemAt(index);
  if (row == nullptr) return QRect();
  return QRect(0, list_.ItemTop(index) - verticalScrollBar()->value(), viewport()->width(),
               row->height);
}

void ptv_picListView::DrawFocusFrame(QPainter& painter) {
  const QRect frame = RowRect(CurrentRow());
  if (frame.isEmpty()) return;
  // A dotted line in the text colour: seen on a selected row and a plain one alike, whatever
  // the style does with focus.
  painter.setPen(QPen(palette().color(QPalette::Text), 1, Qt::DotLine));
  painter.setBrush(Qt::NoBrush);
  painter.drawRect(frame.adjusted(0, 0, -1, -1));
}

void ptv_picListView::paintEvent(QPaintEvent* event) {
  QPainter painter(viewport());
  const QRect area = event->rect();
  const QColor background = palette().color(QPalette::Base);
  painter.fillRect(area, background);

  const int offset = verticalScrollBar()->value();
  const int width = viewport()->width();
  // Only the rows that meet the area are drawn, found by their tops.
  Guard guard(list_.Mutex());
  const int count = list_.CountItems();
  if (count == 0) DrawEmptyListText(painter, viewport()->rect(), emptyText_, palette());
  const int first = list_.IndexAt(area.top() + offset);
  if (first < 0) return;  // the area lies below the last row
  for (int index = first; index < count; ++index) {
    const int top = list_.ItemTop(index) - offset;
    if (top > area.bottom()) break;
    const pic_Item& row = *list_.ItemAt(index);
    const RowState state{list_.IsItemSelected(index), isEnabled(), false, background};
    DrawItem(painter, row, QRect(0, top, width, row.height), state);
  }
  if (hasFocus()) DrawFocusFrame(painter);
}

void ptv_picListView::focusInEvent(QFocusEvent* event) {
  QAbstractScrollArea::focusInEvent(event);
  viewport()->update();
}

void ptv_picListView::focusOutEvent(QFocusEvent* event) {
  QAbstractScrollArea::focusOutEvent(event);
  viewport()->update();
}

void ptv_picListView::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  Relayout();
}

void ptv_picListView::scrollContentsBy(int, int) {
  UpdateScrollStep();
  viewport()->update();
}

void ptv_picListView::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) {
    QAbstractScrollArea::mousePressEvent(event);
    return;
  }
  const int y = event->position().toPoint().y() + verticalScrollBar()->value();
  SelectFromInput(list_.IndexAt(y), event->modifiers());
  viewport()->update();  // the focus frame follows the click
}

int ptv_picListView::KeyTarget(int key, int from) const {
  const int count = list_.CountItems();
  const int page = viewport()->height();
  switch (key) {
    case Qt::Key_Up:
      return std::max(from - 1, 0);
    case Qt::Key_Down:
      return std::min(from + 1, count - 1);
    case Qt::Key_Home:
      return 0;
    case Qt::Key_End:
      return count - 1;
    case Qt::Key_PageUp: {
      // The first row whose top lies within a page above the current row's, at least one up.
      const int limit = list_.ItemTop(from) - page;
      int to = list_.IndexAt(limit);
      if (to < 0) return 0;
      if (list_.ItemTop(to) < limit) to++;
      return std::min(to, std::max(from - 1, 0));
    }
    case Qt::Key_PageDown: {
      // The last row whose top lies within a page below the current row's, at least one down.
      const int to = list_.IndexAt(list_.ItemTop(from) + page);
      return std::max(to < 0 ? count - 1 : to, std::min(from + 1, count - 1));
    }
    default:
      return -1;
  }
}

void ptv_picListView::keyPressEvent(QKeyEvent* event) {
  int next;
  {
    Guard guard(list_.Mutex());
    if (list_.CountItems() == 0) {
      QAbstractScrollArea::keyPressEvent(event);
      return;
    }
    const int from = current_ >= 0 ? current_ : list_.CurrentSelection(0);
    next = KeyTarget(event->key(), std::max(from, 0));
    if (next < 0) {
      QAbstractScrollArea::keyPressEvent(event);
      return;
    }
    // Nothing current yet: an arrow lands on the first row.
    if (from < 0 && (event->key() == Qt::Key_Up || event->key() == Qt::Key_Down)) next = 0;
    // Keys never toggle: Ctrl moves as the plain key does, Shift extends.
    SelectFromInput(next, event->modifiers() & Qt::ShiftModifier);
  }
  ScrollToRow(next);
  viewport()->update();
  NotifyCurrentRow(this, next);
}

void ptv_picListView::SelectFromInput(int index, Qt::KeyboardModifiers modifiers) {
  Guard guard(list_.Mutex());
  const bool shift = modifiers & Qt::ShiftModifier;
  const bool control = modifiers & Qt::ControlModifier;
  if (index < 0 || index >= list_.CountItems()) {
    if (!shift && !control) list_.DeselectAll();
    return;
  }
  if (shift && anchor_ >= 0 && anchor_ < list_.CountItems()) {
    list_.Select(anchor_, index, true);
  } else if (control) {
    if (list_.IsItemSelected(index)) {
      list_.Deselect(index);
    } else {
      list_.Select(index, true);
    }
    anchor_ = index;
  } else {
    list_.Select(index, shift);
    anchor_ = index;
  }
  current_ = index;
}
