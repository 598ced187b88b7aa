#include "app/chart_control.h"

namespace tolvane::ui {

void ChartControl::SetNameText(const std::string& text) {
  model_.SetNameText(text);
  window_.Repaint();
}

void ChartControl::SetRowCount(std::int16_t count) {
  const std::size_t before = model_.rows().size();
  const auto selected = model_.selected();
  const std::size_t after = static_cast<std::size_t>(count > 0 ? count : 0);
  window_.RowsChanging(before, after);
  model_.SetRowCount(count);
  window_.RowsChanged(before, after);
  Changed(false, selected);
}

void ChartControl::SetHostText(const std::string& text) {
  const bool changed = model_.host() != text;
  model_.SetHostText(text);
  window_.Repaint();
  if (changed) window_.DescriptionChanged();
}

void ChartControl::SelectRow(std::int16_t row) {
  model_.SelectRow(row);
  writing_ = row;
}

void ChartControl::SetRowLabel(const std::string& text) { Changed(model_.SetRowLabel(text), model_.selected()); }

void ChartControl::SetRowValue(const std::string& text) {
  const auto selected = model_.selected();
  Changed(model_.SetRowValue(text, window_.Focused()), selected);
}

void ChartControl::SetRowToolTip(const std::string& text) { Changed(model_.SetRowToolTip(text), model_.selected()); }

void ChartControl::Select(ChartModel::Move move) {
  const auto before = model_.selected();
  model_.Select(move);
  Changed(false, before);
}

void ChartControl::SelectIndex(std::size_t index) {
  const auto before = model_.selected();
  model_.SelectIndex(index);
  Changed(false, before);
}

void ChartControl::Changed(bool renamed, std::optional<std::size_t> selectedBefore) {
  window_.Repaint();
  if (renamed) window_.RowRenamed(static_cast<std::size_t>(writing_ - 1));
  const auto now = model_.selected();
  if (now && now != selectedBefore) window_.SelectionMoved(selectedBefore, *now, window_.Focused());
}

}  // namespace tolvane::ui
