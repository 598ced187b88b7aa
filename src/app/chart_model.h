// What the chart holds and how it scales, without drawing: the rows of the
// six chart operations, the value axis, which row labels show, the rows as
// the export menu copies them and as screen readers hear them, and the row
// the keyboard selected. chart_layout.h places it all.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace tolvane::ui {

// One sample as the run took it. Its tooltip, its export and what a screen
// reader hears of it are all made from these values.
struct Sample {
  bool answered = false;
  std::int64_t microseconds = 0;  // the round trip of an answered sample
  std::int32_t status = 0;        // the echo's status code, and in words:
  std::string statusText;         // "11010   [ ip req timed out ]"
};

class ChartModel {
 public:
  enum class Kind { Placeholder, Empty, Reply, Lost };
  struct Row {
    std::string label;
    Kind kind = Kind::Empty;
    double value = 0;
    std::optional<Sample> sample;  // where the run gave one
  };

  // Before the first run: five rows "R1".."R5" of placeholder values.
  ChartModel();

  void SetNameText(const std::string& text) { name_ = text; }
  // A new run of `count` rows, none of them sampled yet: what the rows held
  // was the run before's, and is neither drawn, exported nor read out.
  void SetRowCount(std::int16_t count);
  void SetHostText(const std::string& text) { host_ = text; }
  void SelectRow(std::int16_t row) {
    current_ = row;
    sample_.reset();
  }
  // Assignments to a row outside the table are dropped. Each gives the row
  // whose name changed, so that a screen reader hears only real news.
  std::optional<std::size_t> SetRowLabel(const std::string& text);
  // The sample that the current row's next value completes; it decides
  // whether the row was answered.
  void SetRowSample(const Sample& sample) { sample_ = sample; }
  // The round-trip time in ms as text; without a sample, a text that isn't
  // a whole decimal number marks one without reply. A new sample takes the keyboard's
  // selection along while the chart has the focus and the selection is on
  // the newest sample, or on none yet: a screen reader then speaks each
  // sample as it comes, and a user who went back keeps their place.
  std::optional<std::size_t> SetRowValue(const std::string& text, bool focused = false);

  const std::vector<Row>& rows() const { return rows_; }
  const std::string& name() const { return name_; }
  const std::string& host() const { return host_; }
  bool AnyLost() const;

  // The rows that hold a sample, as comma-separated values (UTF-8, lines
  // ended by "\n") under a header line: row, seconds, ms (or "no reply"),
  // µs and the echo's status.
  std::string Csv() const;

  // The value axis: 0 up to `top` in steps of `step`, a "nice" scale
  // with headroom above the highest reply or placeholder.
  struct Scale {
    double top;
    double step;
  };
  Scale ValueScale() const;

  // What the chart says to keyboard and screen-reader users: a row's name
  // ("4 s: 15 ms", "6 s: no reply (11010 ip req timed out)"; index from 0),
  // and the chart's description: the run's host, or "no run yet".
  std::string RowName(std::size_t index) const;
  std::string Description() const;
  // What a row's tooltip says: its sample's own text, or else its name.
  std::string TipText(std::size_t index) const;

  // The row the keyboard has selected (index from 0): none until a key
  // moves it, then kept through new samples and runs, and pulled in when a
  // shorter run leaves it past the end.
  enum class Move { Previous, Next, First, Last };
  void Select(Move move);
  // A row by index; past the end, the last.
  void SelectIndex(std::size_t index);
  std::optional<std::size_t> selected() const { return selected_; }

 private:
  std::optional<std::size_t> Write(const std::function<void(Row&, std::size_t)>& write);

  std::vector<Row> rows_;
  int current_ = 1;
  std::optional<std::size_t> selected_;
  std::optional<std::size_t> newest_;  // the row of the last sample
  std::optional<Sample> sample_;       // until the value completes it
  std::string name_;
  std::string host_;
};

}  // namespace tolvane::ui
