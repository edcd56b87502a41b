// The picture list on screen: paints the rows of a PictureList, scrolls through them and
// selects them as a multiple-selection list does. The list may change on any thread; the view
// hears of it under the list's lock and only queues the redraw for its own thread.
#pragma once

#include <QAbstractScrollArea>
#include <QRect>
#include <atomic>

#include "app/PictureList.h"

class QPainter;

class ptv_picListView : public QAbstractScrollArea, private PictureListObserver {
  Q_OBJECT

 public:
  // The list must outlive the view.
  explicit ptv_picListView(PictureList& list, QWidget* parent = nullptr);
  ~ptv_picListView() override;

  PictureList& List() { return list_; }
  // Scrolls just far enough for the row to be wholly visible, where it fits.
  void ScrollToRow(int index);
  // The row the keys move from and the focus frame surrounds: the last one clicked or moved
  // to, else the first selected, else the first; -1 for an empty list.
  int CurrentRow() const;
  // Where a row lies in the viewport's coordinates.
  QRect RowRect(int index) const;
  // What the view shows while the list has no rows; none when empty.
  void SetEmptyText(const QString& text);
  QString EmptyText() const { return emptyText_; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void scrollContentsBy(int dx, int dy) override;
  void mousePressEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;

 private:
  void LayoutChanged() override;
  void RowsChanged(int index) override;

  void Relayout();
  void RepaintRow(int index);
  void UpdateScrollStep();
  // The row a navigation key leads to from `from`, or -1 for any other key. Under the lock.
  int KeyTarget(int key, int from) const;
  void DrawFocusFrame(QPainter& painter);
  // A click (or a key press moving to index) with these modifiers.
  void SelectFromInput(int index, Qt::KeyboardModifiers modifiers);

  PictureList& list_;
  std::atomic<bool> layoutQueued_{false};
  std::atomic<bool> repaintQueued_{false};
  int anchor_ = -1;   // where a Shift range starts
  int current_ = -1;  // where the arrow keys move from
  QString emptyText_;
};
