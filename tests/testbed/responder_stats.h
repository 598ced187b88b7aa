// The responder's counters, as the "stats" command reports them: one line
// of name=value pairs. Shared so both ends agree on the names.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tolvane::testbed {

struct ResponderStats {
  std::int64_t requests = 0;       // echo requests to one of the responder's addresses
  std::int64_t replies = 0;        // correct replies sent (scripted, fixed, noisy, control)
  std::int64_t dropped = 0;        // scripted requests dropped by an "x"
  std::int64_t scripted = 0;       // requests to the scripted host
  std::int64_t noisy = 0;          // requests to the noisy host
  std::int64_t wrong_id = 0;       // noisy strays, one counter per kind
  std::int64_t wrong_seq = 0;
  std::int64_t wrong_payload = 0;
  std::int64_t bad_checksum = 0;
  std::int64_t wrong_source = 0;
  std::int64_t duplicate = 0;
  std::int64_t overflow = 0;       // requests refused because too many were pending
  std::int64_t send_errors = 0;
  std::int64_t late_count = 0;     // scheduled sends, and how late they went out
  std::int64_t late_sum_ns = 0;
  std::int64_t late_max_ns = 0;
  std::int64_t fifo = 0;           // 1 when running SCHED_FIFO

  bool operator==(const ResponderStats&) const = default;
};

std::string FormatStats(const ResponderStats& stats);

// Unknown names are ignored (older or newer responder); nullopt on a line
// that isn't name=value pairs.
std::optional<ResponderStats> ParseStats(std::string_view line);

}  // namespace tolvane::testbed
