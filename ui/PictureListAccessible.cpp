#include "ui/PictureListAccessible.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QPointer>
#include <QScrollBar>
#include <QStringList>
#include <QWindow>
#include <map>
#include <mutex>

#include "app/PictureList.h"
#include "ui/pic_ItemRow.h"
#include "ui/ptv_picListView.h"

namespace {

using Guard = std::lock_guard<std::recursive_mutex>;

// One row, known by its record's identity so that it stays the same picture while rows
// come, go and move; invalid once the row has left the list.
class RowAccessible : public QAccessibleInterface {
 public:
  RowAccessible(ptv_picListView* view, PictureId id) : view_(view), id_(id) {}

  int Index() const {
    if (view_.isNull()) return -1;
    PictureList& list = view_->List();
    Guard guard(list.Mutex());
    const pic_Item* row = list.ItemWithId(id_);
    return row != nullptr ? list.IndexOf(row) : -1;
  }

  bool isValid() const override { return Index() >= 0; }
  QObject* object() const override { return nullptr; }
  QWindow* window() const override {
    return view_.isNull() ? nullptr : view_->window()->windowHandle();
  }
  QList<QPair<QAccessibleInterface*, QAccessible::Relation>> relations(
      QAccessible::Relation) const override {
    return {};
  }
  QAccessibleInterface* focusChild() const override { return nullptr; }
  QAccessibleInterface* childAt(int, int) const override { return nullptr; }
  QAccessibleInterface* parent() const override {
    return QAccessible::queryAccessibleInterface(view_.data());
  }
  QAccessibleInterface* child(int) const override { return nullptr; }
  int childCount() const override { return 0; }
  int indexOfChild(const QAccessibleInterface*) const override { return -1; }

  QString text(QAccessible::Text kind) const override {
    if (kind != QAccessible::Name || view_.isNull()) return QString();
    PictureList& list = view_->List();
    Guard guard(list.Mutex());
    const pic_Item* row = list.ItemWithId(id_);
    if (row == nullptr) return QString();
    QStringList lines;
    for (const QString& line : RowText(*row))
      if (!line.isEmpty()) lines << line;
    return lines.join(QLatin1Char('\n'));
  }
  void setText(QAccessible::Text, const QString&) override {}

  QRect rect() const override {
    const QRect frame = view_.isNull() ? QRect() : view_->RowRect(Index());
    if (frame.isEmpty()) return QRect();
    return QRect(view_->viewport()->mapToGlobal(frame.topLeft()), frame.size());
  }
  QAccessible::Role role() const override { return QAccessible::ListItem; }
  QAccessible::State state() const override {
    QAccessible::State state;
    const int index = Index();
    if (index < 0) return state;
    state.selectable = true;
    state.focusable = true;
    state.selected = view_->List().IsItemSelected(index);
    state.focused = view_->hasFocus() && view_->CurrentRow() == index;
    state.invisible = !view_->viewport()->rect().intersects(view_->RowRect(index));
    return state;
  }

 private:
  QPointer<ptv_picListView> view_;
  PictureId id_;
};

class PictureListAccessible : public QAccessibleWidget {
 public:
  explicit PictureListAccessible(ptv_picListView* view)
      : QAccessibleWidget(view, QAccessible::List) {}
  ~PictureListAccessible() override {
    for (const auto& [id, handle] : rows_) QAccessible::deleteAccessibleInterface(handle);
  }

  int childCount() const override { return View()->List().CountItems(); }

  QAccessibleInterface* child(int index) const override {
    PictureId id;
    {
      PictureList& list = View()->List();
      Guard guard(list.Mutex());
      const pic_Item* row = list.ItemAt(index);
      if (row == nullptr) return nullptr;
      id = row->Id();
    }
    auto found = rows_.find(id);
    if (found == rows_.end()) {
      QAccessible::Id handle =
          QAccessible::registerAccessibleInterface(new RowAccessible(View(), id));
      found = rows_.emplace(id, handle).first;
    }
    return QAccessible::accessibleInterface(found->second);
  }

  int indexOfChild(const QAccessibleInterface* child) const override {
    if (child == nullptr || child->role() != QAccessible::ListItem) return -1;
    return static_cast<const RowAccessible*>(child)->Index();
  }

  QAccessibleInterface* childAt(int x, int y) const override {
    const QPoint at = View()->viewport()->mapFromGlobal(QPoint(x, y));
    if (!View()->viewport()->rect().contains(at)) return nullptr;
    return child(View()->List().IndexAt(at.y() + View()->verticalScrollBar()->value()));
  }

  QAccessibleInterface* focusChild() const override {
    return View()->hasFocus() ? child(View()->CurrentRow()) : nullptr;
  }

  QAccessible::State state() const override {
    QAccessible::State state = QAccessibleWidget::state();
    state.multiSelectable = true;
    return state;
  }

 private:
  ptv_picListView* View() const { return static_cast<ptv_picListView*>(widget()); }

  // The rows asked for so far, each registered once with Qt's accessibility cache.
  mutable std::map<PictureId, QAccessible::Id> rows_;
};

QAccessibleInterface* Factory(const QString& classname, QObject* object) {
  if (classname == QLatin1String("ptv_picListView") && object != nullptr)
    return new PictureListAccessible(static_cast<ptv_picListView*>(object));
  return nullptr;
}

}  // namespace

void InstallPictureListAccessible() {
  static const bool installed = (QAccessible::installFactory(Factory), true);
  (void)installed;
}

void NotifyCurrentRow(ptv_picListView* view, int index) {
  if (!view->hasFocus() || index < 0) return;
  QAccessibleEvent event(view, QAccessible::Focus);
  event.setChild(index);
  QAccessible::updateAccessibility(&event);
}
