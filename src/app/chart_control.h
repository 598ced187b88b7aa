// The chart as a control, without a toolkit: its six operations and the
// keyboard's selection over the model, and what each change means to the
// window (a repaint) and to a screen reader. Both windows tell the same
// changes, each in its toolkit's terms, and only real ones.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "app/chart_model.h"

namespace tolvane::ui {

class ChartControl {
 public:
  // What a window does for the chart. Rows are indexes from 0.
  class Window {
   public:
    virtual bool Focused() const = 0;
    virtual void Repaint() = 0;
    // A new run's table, of `after` rows where there were `before`; told
    // before the model changes, and after.
    virtual void RowsChanging(std::size_t before, std::size_t after) = 0;
    virtual void RowsChanged(std::size_t before, std::size_t after) = 0;
    virtual void DescriptionChanged() = 0;
    virtual void RowRenamed(std::size_t row) = 0;
    // The selection moved from `before` to `now`; focused says whether the
    // chart has the focus, so that the row is the focused one as well.
    virtual void SelectionMoved(std::optional<std::size_t> before, std::size_t now, bool focused) = 0;

   protected:
    ~Window() = default;
  };

  explicit ChartControl(Window& window) : window_(window) {}
  // A chart that no window shows: a run without a screen.
  ChartControl();

  void SetNameText(const std::string& text);
  void SetRowCount(std::int16_t count);
  void SetHostText(const std::string& text);
  void SelectRow(std::int16_t row);
  void SetRowLabel(const std::string& text);
  void SetRowValue(const std::string& text);
  // The current row's sample, handed over before its value.
  void SetRowSample(const Sample& sample);

  // The keys the chart takes while it has the focus, as each window names
  // them (Press maps them to moves in this order); false for a key the
  // chart leaves to its window.
  enum class Key { Left, Right, Home, End, Other };
  bool Press(Key key);
  // A row by index, as a screen reader or a test asks.
  void SelectIndex(std::size_t index);
  // The row that has the keyboard's focus: the selected one while the chart
  // has the focus, none otherwise.
  std::optional<std::size_t> FocusedRow() const;

  const ChartModel& model() const { return model_; }

 private:
  // After a write to the row the run addresses, or a move.
  void Changed(std::optional<std::size_t> renamed, std::optional<std::size_t> selectedBefore);

  Window& window_;
  ChartModel model_;
};

}  // namespace tolvane::ui
