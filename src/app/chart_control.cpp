#include "app/chart_control.h"

namespace tolvane::ui {
namespace {

class Unseen final : public ChartControl::Window {
 public:
  bool Focused() const override { return false; }
  void Repaint() override {}
  void RowsChanging(std::size_t, std::size_t) override {}
  void RowsChanged(std::size_t, std::size_t) override {}
  void DescriptionChanged() override {}
  void RowRenamed(std::size_t) override {}
  void SelectionMoved(std::optional<std::size_t>, std::size_t, bool) override {}
};
Unseen unseen;

}  // namespace

ChartControl::ChartControl() : window_(unseen) {}

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
  Changed(std::nullopt, selected);
}

void ChartControl::SetHostText(const std::string& text) {
  const bool changed = model_.host() != text;
  model_.SetHostText(text);
  window_.Repaint();
  if (changed) window_.DescriptionChanged();
}

void ChartControl::SelectRow(std::int16_t row) { model_.SelectRow(row); }

void ChartControl::SetRowLabel(const std::string& text) { Changed(model_.SetRowLabel(text), model_.selected()); }

void ChartControl::SetRowValue(const std::string& text) {
  const auto selected = model_.selected();
  Changed(model_.SetRowValue(text, window_.Focused()), selected);
}

void ChartControl::SetRowSample(const Sample& sample) { model_.SetRowSample(sample); }

bool ChartControl::Press(Key key) {
  // In the order of Key: Left, Right, Home, End.
  using enum ChartModel::Move;
  constexpr ChartModel::Move kMoves[] = {Previous, Next, First, Last};
  if (key == Key::Other) return false;
  const auto before = model_.selected();
  model_.Select(kMoves[static_cast<int>(key)]);
  Changed(std::nullopt, before);
  return true;
}

std::optional<std::size_t> ChartControl::FocusedRow() const {
  return window_.Focused() ? model_.selected() : std::nullopt;
}

void ChartControl::SelectIndex(std::size_t index) {
  const auto before = model_.selected();
  model_.SelectIndex(index);
  Changed(std::nullopt, before);
}

void ChartControl::Changed(std::optional<std::size_t> renamed, std::optional<std::size_t> selectedBefore) {
  window_.Repaint();
  if (renamed) window_.RowRenamed(*renamed);
  const auto now = model_.selected();
  if (now && now != selectedBefore) window_.SelectionMoved(selectedBefore, *now, window_.Focused());
}

}  // namespace tolvane::ui
