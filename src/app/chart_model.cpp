#include "app/chart_model.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <string_view>
#include <system_error>
#include <utility>

#include "probe/probe.h"

namespace tolvane::ui {
namespace {

constexpr std::array<double, 5> kPlaceholderValues = {9, 14, 11, 16, 12};

// A whole number of milliseconds, in nine digits at most.
std::optional<double> Milliseconds(const std::string& text) {
  if (text.empty() || text.size() > 9) return std::nullopt;
  if (!std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; })) return std::nullopt;
  return std::stod(text);
}

// A field as RFC 4180 wants it: quoted when it holds a separator, a quote or
// a line break.
std::string CsvField(const std::string& text) {
  if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
  std::string quoted = "\"";
  for (char c : text) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  return quoted + '"';
}

// "12.345 ms": the round trip as finely as the platform measured it, the
// point whatever the locale.
std::string RoundTripTip(std::int64_t microseconds) {
  char text[32];
  const auto [end, ec] = std::to_chars(std::begin(text), std::end(text), microseconds / 1000.0,
                                       std::chars_format::fixed, 3);
  return (ec == std::errc() ? std::string(text, end) : std::string("?")) + " ms";
}

std::string Trimmed(const std::string& text) {
  const auto first = text.find_first_not_of(" \t\r\n");
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

}  // namespace

ChartModel::ChartModel() {
  for (std::size_t i = 0; i < kPlaceholderValues.size(); ++i) {
    rows_.push_back({"R" + std::to_string(i + 1), Kind::Placeholder, kPlaceholderValues[i], {}});
  }
}

void ChartModel::SetRowCount(std::int16_t count) {
  // A new run: what the rows held belongs to the run before (or is the
  // chart's placeholder), not to this one. They show, export and read as
  // not yet sampled until this run writes them.
  const std::size_t size = static_cast<std::size_t>(std::max<std::int16_t>(count, 0));
  rows_.assign(size, Row{});
  for (std::optional<std::size_t>* row : {&selected_, &newest_}) {
    if (*row && **row >= size) *row = size > 0 ? std::optional(size - 1) : std::nullopt;
  }
}

std::optional<std::size_t> ChartModel::Write(const std::function<void(Row&, std::size_t)>& write) {
  if (current_ < 1 || current_ > static_cast<int>(rows_.size())) return std::nullopt;
  const auto index = static_cast<std::size_t>(current_ - 1);
  const std::string before = RowName(index);
  write(rows_[index], index);
  return RowName(index) != before ? std::optional(index) : std::nullopt;
}

std::optional<std::size_t> ChartModel::SetRowLabel(const std::string& text) {
  return Write([&](Row& row, std::size_t) { row.label = text; });
}

std::optional<std::size_t> ChartModel::SetRowValue(const std::string& text, bool focused) {
  return Write([&](Row& row, std::size_t index) {
    const std::optional<double> ms = Milliseconds(text);
    row.sample = std::exchange(sample_, std::nullopt);
    const bool answered = row.sample ? row.sample->answered : ms.has_value();
    row.kind = answered ? Kind::Reply : Kind::Lost;
    row.value = answered ? ms.value_or(0) : 0;
    if (focused && (!selected_ || selected_ == newest_)) selected_ = index;
    newest_ = index;
  });
}

bool ChartModel::AnyLost() const {
  return std::any_of(rows_.begin(), rows_.end(), [](const Row& r) { return r.kind == Kind::Lost; });
}

std::string ChartModel::Csv() const {
  static const std::string success = probe::EchoStatusText(0);
  // µ as UTF-8 bytes, whatever charset the compiler assumes.
  std::string csv = "row,seconds,ms,\xc2\xb5s,status\n";
  for (std::size_t i = 0; i < rows_.size(); ++i) {
    const Row& row = rows_[i];
    if (row.kind != Kind::Reply && row.kind != Kind::Lost) continue;
    const bool reply = row.kind == Kind::Reply;
    const std::string fields[] = {
        std::to_string(i + 1),
        Trimmed(row.label),
        reply ? std::to_string(std::llround(row.value)) : "no reply",
        reply && row.sample ? std::to_string(row.sample->microseconds) : std::string(),
        row.sample ? row.sample->statusText : reply ? success : std::string(),
    };
    for (const std::string& field : fields) csv += CsvField(field) + ',';
    csv.back() = '\n';
  }
  return csv;
}

ChartModel::Scale ChartModel::ValueScale() const {
  double highest = 0;
  for (const Row& row : rows_) {
    if (row.kind == Kind::Reply || row.kind == Kind::Placeholder) highest = std::max(highest, row.value);
  }
  // Headroom above the highest bar; a run of 0 ms replies still gets a scale.
  const double wanted = std::max(highest * 1.15, 1.0);
  // About five steps of 1, 2 or 5 times a power of ten.
  const double rough = wanted / 5;
  // The power of ten at or below it, by multiplying (rough is at least 0.2):
  // no logarithm from the maths library while the empty chart first shows.
  double magnitude = rough < 1 ? 0.1 : 1.0;
  while (magnitude * 10 <= rough) magnitude *= 10;
  double step = magnitude;
  for (double m : {1.0, 2.0, 5.0, 10.0}) {
    step = m * magnitude;
    if (step >= rough) break;
  }
  return Scale{std::ceil(wanted / step) * step, step};
}

std::string ChartModel::RowName(std::size_t index) const {
  if (index >= rows_.size()) return {};
  const Row& row = rows_[index];
  const std::string label = Trimmed(row.label);
  switch (row.kind) {
    case Kind::Reply:
      return label + " s: " + std::to_string(std::llround(row.value)) + " ms";
    case Kind::Lost: {
      if (!row.sample) return label + " s: no reply";
      const std::string_view words = probe::EchoStatusWords(row.sample->status);
      return label + " s: no reply (" + std::to_string(row.sample->status) +
             (words.empty() ? "" : " " + std::string(words)) + ")";
    }
    case Kind::Placeholder:
      break;
    case Kind::Empty:
      return "row " + std::to_string(index + 1) + ": not sampled yet";
  }
  return label + ": no sample";
}

std::string ChartModel::Description() const { return host_.empty() ? "no run yet" : host_; }

std::string ChartModel::TipText(std::size_t index) const {
  if (index >= rows_.size()) return {};
  const Row& row = rows_[index];
  if (!row.sample || (row.kind != Kind::Reply && row.kind != Kind::Lost)) return RowName(index);
  return row.kind == Kind::Reply ? RoundTripTip(row.sample->microseconds) : row.sample->statusText;
}

void ChartModel::SelectIndex(std::size_t index) {
  if (!rows_.empty()) selected_ = std::min(index, rows_.size() - 1);
}

void ChartModel::Select(Move move) {
  if (rows_.empty()) return;
  const std::size_t last = rows_.size() - 1;
  if (!selected_) {
    selected_ = move == Move::Last ? last : 0;
    return;
  }
  switch (move) {
    case Move::Previous: selected_ = *selected_ > 0 ? *selected_ - 1 : 0; break;
    case Move::Next: selected_ = std::min(*selected_ + 1, last); break;
    case Move::First: selected_ = 0; break;
    case Move::Last: selected_ = last; break;
  }
}

}  // namespace tolvane::ui
