#include "testbed/responder_stats.h"

#include <charconv>
#include <utility>

namespace tolvane::testbed {

namespace {

// One table of names, so formatting and parsing can't drift apart.
template <typename Stats, typename F>
void ForEachField(Stats& s, F&& f) {
  f("requests", s.requests);
  f("replies", s.replies);
  f("dropped", s.dropped);
  f("scripted", s.scripted);
  f("noisy", s.noisy);
  f("wrong_id", s.wrong_id);
  f("wrong_seq", s.wrong_seq);
  f("wrong_payload", s.wrong_payload);
  f("bad_checksum", s.bad_checksum);
  f("wrong_source", s.wrong_source);
  f("duplicate", s.duplicate);
  f("overflow", s.overflow);
  f("send_errors", s.send_errors);
  f("late_count", s.late_count);
  f("late_sum_ns", s.late_sum_ns);
  f("late_max_ns", s.late_max_ns);
  f("fifo", s.fifo);
}

}  // namespace

std::string FormatStats(const ResponderStats& stats) {
  std::string out;
  ForEachField(stats, [&](std::string_view name, std::int64_t value) {
    if (!out.empty()) out += ' ';
    out += name;
    out += '=';
    out += std::to_string(value);
  });
  return out;
}

std::optional<ResponderStats> ParseStats(std::string_view line) {
  ResponderStats stats;
  std::size_t i = 0;
  while (i < line.size()) {
    if (line[i] == ' ') {
      ++i;
      continue;
    }
    std::size_t end = line.find(' ', i);
    if (end == std::string_view::npos) end = line.size();
    const std::string_view pair = line.substr(i, end - i);
    i = end;
    const std::size_t eq = pair.find('=');
    if (eq == std::string_view::npos) return std::nullopt;
    const std::string_view name = pair.substr(0, eq);
    const std::string_view text = pair.substr(eq + 1);
    std::int64_t value = 0;
    const auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc{} || ptr != text.data() + text.size()) return std::nullopt;
    ForEachField(stats, [&](std::string_view field, std::int64_t& slot) {
      if (field == name) slot = value;
    });
  }
  return stats;
}

}  // namespace tolvane::testbed
