#include "qt/chart_accessible.h"

#include <QAccessibleWidget>
#include <QPointer>
#include <QWidget>
#include <QWindow>

#include <algorithm>
#include <vector>

#include "app/chart_style.h"
#include "qt/latency_chart.h"
#include "qt/qt_text.h"

namespace tolvane::ui::chart_access {
namespace {

int Rows(const LatencyChart& chart) { return static_cast<int>(chart.model().rows().size()); }

// One row of the chart. It holds no QObject of its own: Qt knows it by the
// id it is registered under, which the chart's interface keeps.
class RowAccessible : public QAccessibleInterface {
 public:
  RowAccessible(LatencyChart* chart, int index) : chart_(chart), index_(index) {}

  int index() const { return index_; }
  const LatencyChart* chart() const { return chart_; }

  bool isValid() const override { return chart_ && index_ < Rows(*chart_); }
  QObject* object() const override { return nullptr; }
  QWindow* window() const override { return chart_ ? chart_->window()->windowHandle() : nullptr; }
  QAccessibleInterface* childAt(int, int) const override { return nullptr; }
  QAccessibleInterface* parent() const override {
    return chart_ ? QAccessible::queryAccessibleInterface(chart_.data()) : nullptr;
  }
  QAccessibleInterface* child(int) const override { return nullptr; }
  int childCount() const override { return 0; }
  int indexOfChild(const QAccessibleInterface*) const override { return -1; }

  QString text(QAccessible::Text t) const override {
    if (!isValid() || t != QAccessible::Name) return {};
    return Q(chart_->model().RowName(static_cast<std::size_t>(index_)));
  }
  void setText(QAccessible::Text, const QString&) override {}

  QRect rect() const override {
    if (!isValid()) return {};
    const chart::Box& slot = chart_->layout().rowSlots[static_cast<std::size_t>(index_)];
    return QRect(chart_->mapToGlobal(QPoint(slot.left, slot.top)), QSize(slot.width(), slot.height()));
  }
  QAccessible::Role role() const override { return QAccessible::ListItem; }
  QAccessible::State state() const override {
    QAccessible::State state;
    if (!isValid()) {
      state.invalid = true;
      return state;
    }
    const bool selected = chart_->model().selected() == static_cast<std::size_t>(index_);
    state.selectable = true;
    state.selected = selected;
    state.focusable = true;
    state.focused = chart_->control().FocusedRow() == static_cast<std::size_t>(index_);
    state.readOnly = true;
    state.invisible = !chart_->isVisible();
    return state;
  }

 private:
  QPointer<LatencyChart> chart_;
  int index_;
};

// The chart as a list of its rows. The rows' interfaces are made when first
// asked for and live until the table loses them or the chart goes.
class ChartAccessible : public QAccessibleWidget {
 public:
  explicit ChartAccessible(LatencyChart* chart) : QAccessibleWidget(chart, QAccessible::List) {}
  ~ChartAccessible() override {
    for (QAccessible::Id id : rows_) {
      if (id != 0) QAccessible::deleteAccessibleInterface(id);
    }
  }

  LatencyChart* chart() const { return static_cast<LatencyChart*>(widget()); }

  QString text(QAccessible::Text t) const override {
    switch (t) {
      case QAccessible::Name:
        return chart()->accessibleName().isEmpty() ? Q(chart::kAccessibleName) : chart()->accessibleName();
      case QAccessible::Description:
        return Q(chart()->model().Description());
      default:
        return QAccessibleWidget::text(t);
    }
  }

  int childCount() const override { return Rows(*chart()); }

  QAccessibleInterface* child(int index) const override {
    if (index < 0 || index >= childCount()) return nullptr;
    const auto at = static_cast<std::size_t>(index);
    if (rows_.size() <= at) rows_.resize(at + 1, 0);
    if (rows_[at] == 0) rows_[at] = QAccessible::registerAccessibleInterface(new RowAccessible(chart(), index));
    return QAccessible::accessibleInterface(rows_[at]);
  }

  int indexOfChild(const QAccessibleInterface* child) const override {
    const auto* row = dynamic_cast<const RowAccessible*>(child);
    return row && row->chart() == chart() && row->isValid() ? row->index() : -1;
  }

  QAccessibleInterface* childAt(int x, int y) const override {
    const QPoint local = chart()->mapFromGlobal(QPoint(x, y));
    const auto row = chart()->layout().RowAt(local.x(), local.y());
    return row ? child(static_cast<int>(*row)) : nullptr;
  }

  // The selected row while the chart has the focus; the chart itself while
  // none is selected.
  QAccessibleInterface* focusChild() const override {
    if (!chart()->hasFocus()) return nullptr;
    const auto focused = chart()->control().FocusedRow();
    return focused ? child(static_cast<int>(*focused)) : QAccessible::queryAccessibleInterface(chart());
  }

  // Forgets the rows from `count` on, which the table no longer has.
  void Trim(int count) {
    for (std::size_t i = static_cast<std::size_t>(count); i < rows_.size(); ++i) {
      if (rows_[i] != 0) QAccessible::deleteAccessibleInterface(rows_[i]);
    }
    if (rows_.size() > static_cast<std::size_t>(count)) rows_.resize(static_cast<std::size_t>(count));
  }

 private:
  mutable std::vector<QAccessible::Id> rows_;  // 0: not made yet
};

QAccessibleInterface* Factory(const QString& className, QObject* object) {
  if (object == nullptr || className != QLatin1String(LatencyChart::staticMetaObject.className())) return nullptr;
  return new ChartAccessible(static_cast<LatencyChart*>(object));
}

ChartAccessible* Of(LatencyChart& chart) {
  if (!QAccessible::isActive()) return nullptr;
  return dynamic_cast<ChartAccessible*>(QAccessible::queryAccessibleInterface(&chart));
}

void Tell(QAccessibleInterface* iface, QAccessible::Event type) {
  if (iface == nullptr) return;
  QAccessibleEvent event(iface, type);
  QAccessible::updateAccessibility(&event);
}

}  // namespace

void Install() {
  static const bool installed = (QAccessible::installFactory(&Factory), true);
  (void)installed;
}

void RowRenamed(LatencyChart& chart, int row) {
  if (ChartAccessible* list = Of(chart)) Tell(list->child(row), QAccessible::NameChanged);
}

void RowsGoing(LatencyChart& chart, int before, int after) {
  ChartAccessible* list = Of(chart);
  if (list == nullptr) return;
  for (int i = before - 1; i >= after; --i) Tell(list->child(i), QAccessible::ObjectDestroyed);
}

// A new run: rows past the old count come, rows past the new one went, and
// every row kept reads as not sampled yet, so each says so; a run of the
// same count as the last is announced too, before its first sample.
void RowsChanged(LatencyChart& chart, int before, int after) {
  ChartAccessible* list = Of(chart);
  if (list == nullptr) return;
  list->Trim(after);
  for (int i = before; i < after; ++i) Tell(list->child(i), QAccessible::ObjectCreated);
  for (int i = 0; i < std::min(before, after); ++i) Tell(list->child(i), QAccessible::NameChanged);
  Tell(list, QAccessible::ObjectReorder);
}

void DescriptionChanged(LatencyChart& chart) {
  if (ChartAccessible* list = Of(chart)) Tell(list, QAccessible::DescriptionChanged);
}

void SelectionMoved(LatencyChart& chart, int before, int after) {
  ChartAccessible* list = Of(chart);
  if (list == nullptr) return;
  if (before >= 0 && before != after) Tell(list->child(before), QAccessible::Selection);
  Tell(list->child(after), QAccessible::Selection);
  if (chart.hasFocus()) Tell(list->child(after), QAccessible::Focus);
}

void RowFocused(LatencyChart& chart, int row) {
  if (ChartAccessible* list = Of(chart)) Tell(list->child(row), QAccessible::Focus);
}

}  // namespace tolvane::ui::chart_access
