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
    state.selectable = true;
    state.selected = chart_->model().selected() == static_cast<std::size_t>(index_);
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
  ~ChartAccessible() override { Trim(0); }

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

  QAccessibleInterface* Row(std::size_t row) const { return child(static_cast<int>(row)); }

  // Forgets the rows from `count` on, which the table no longer has.
  void Trim(std::size_t count) {
    for (std::size_t i = count; i < rows_.size(); ++i) {
      if (rows_[i] != 0) QAccessible::deleteAccessibleInterface(rows_[i]);
    }
    rows_.resize(std::min(rows_.size(), count));
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
  [[maybe_unused]] static const bool installed = (QAccessible::installFactory(&Factory), true);
}

void RowFocused(LatencyChart& chart, std::size_t row) {
  if (ChartAccessible* list = Of(chart)) Tell(list->Row(row), QAccessible::Focus);
}

}  // namespace tolvane::ui::chart_access

// The chart's news (ChartControl::Window), told to screen readers only
// while some assistive technology listens.
namespace tolvane::ui {

using chart_access::ChartAccessible;
using chart_access::Of;
using chart_access::Tell;

void LatencyChart::RowRenamed(std::size_t row) {
  if (ChartAccessible* list = Of(*this)) Tell(list->Row(row), QAccessible::NameChanged);
}

void LatencyChart::RowsChanging(std::size_t before, std::size_t after) {
  ChartAccessible* list = Of(*this);
  if (list == nullptr) return;
  for (std::size_t i = before; i-- > after;) Tell(list->Row(i), QAccessible::ObjectDestroyed);
}

// A new run: rows past the old count come, rows past the new one went, and
// every row kept reads as not sampled yet, so each says so; a run of the
// same count as the last is announced too, before its first sample.
void LatencyChart::RowsChanged(std::size_t before, std::size_t after) {
  ChartAccessible* list = Of(*this);
  if (list == nullptr) return;
  list->Trim(after);
  for (std::size_t i = before; i < after; ++i) Tell(list->Row(i), QAccessible::ObjectCreated);
  for (std::size_t i = 0; i < std::min(before, after); ++i) Tell(list->Row(i), QAccessible::NameChanged);
  Tell(list, QAccessible::ObjectReorder);
}

void LatencyChart::DescriptionChanged() {
  if (ChartAccessible* list = Of(*this)) Tell(list, QAccessible::DescriptionChanged);
}

void LatencyChart::SelectionMoved(std::optional<std::size_t> before, std::size_t now, bool) {
  ChartAccessible* list = Of(*this);
  if (list == nullptr) return;
  if (before && *before != now) Tell(list->Row(*before), QAccessible::Selection);
  Tell(list->Row(now), QAccessible::Selection);
  if (hasFocus()) Tell(list->Row(now), QAccessible::Focus);
}

}  // namespace tolvane::ui
