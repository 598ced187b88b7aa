// The responder's control channel and what tests ask of it; the socket
// calls are the platform's (testbed_linux.cpp, tests/win32/testbed_win.cpp).
#include "testbed/testbed.h"

#include <charconv>
#include <cstdlib>
#include <mutex>
#include <stdexcept>
#include <string_view>

#include "testbed/testbed_channel.h"

namespace tolvane::testbed {
namespace {

std::string Expect(const std::string& command, std::string_view prefix) {
  std::string answer = Control(command);
  if (answer.compare(0, prefix.size(), prefix) != 0)
    throw std::runtime_error("responder: '" + command + "' answered '" + answer + "'");
  return answer.substr(prefix.size());
}

}  // namespace

bool detail::ReadQuestion(const unsigned char* query, long size, std::string* name, int* type) {
  // The 12-byte header, the name as labels up to an empty one, then type
  // and class.
  name->clear();
  long at = 12;
  while (at < size && query[at] != 0) {
    const long length = query[at];
    if (length > 63 || at + 1 + length >= size) return false;
    if (!name->empty()) *name += '.';
    name->append(reinterpret_cast<const char*>(query) + at + 1, static_cast<std::size_t>(length));
    at += 1 + length;
  }
  if (at + 5 > size) return false;
  *type = query[at + 1] << 8 | query[at + 2];
  return true;
}

bool Available(std::string* why) {
  static std::once_flag once;
  static std::string reason;
  std::call_once(once, [] { reason = detail::Check(); });
  if (why) *why = reason;
  return reason.empty();
}

bool Required() {
  const char* ci = std::getenv("CI");
  return ci && std::string_view(ci) == "true";
}

std::string Control(const std::string& command) {
  std::string error;
  std::string answer = detail::Ask(command, &error);
  if (answer.empty()) throw std::runtime_error("responder: " + error);
  return answer;
}

void ScriptReplies(const std::vector<int>& delaysMs) {
  std::string command = "script";
  for (int d : delaysMs) command += d < 0 ? std::string(" x") : " " + std::to_string(d);
  Expect(command, "ok");
}

std::vector<std::int64_t> RequestTimesNs() {
  const std::string rest = Expect("log", "log");
  std::vector<std::int64_t> times;
  const char* p = rest.data();
  const char* end = p + rest.size();
  while (p < end) {
    if (*p == ' ') {
      ++p;
      continue;
    }
    std::int64_t t = 0;
    const auto [next, ec] = std::from_chars(p, end, t);
    if (ec != std::errc{}) throw std::runtime_error("responder: bad log '" + rest + "'");
    times.push_back(t);
    p = next;
  }
  return times;
}

ResponderStats Stats() {
  const std::string rest = Expect("stats", "stats ");
  auto stats = ParseStats(rest);
  if (!stats) throw std::runtime_error("responder: bad stats '" + rest + "'");
  return *stats;
}

void ResetStats() { Expect("reset", "ok"); }

}  // namespace tolvane::testbed
