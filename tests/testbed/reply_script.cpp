#include "testbed/reply_script.h"

#include <algorithm>
#include <charconv>

namespace tolvane::testbed {

ReplyScript::ReplyScript(std::vector<int> delaysMs) : delays_(std::move(delaysMs)) {}

std::optional<ReplyScript> ReplyScript::Parse(std::string_view text, std::string* why) {
  std::vector<int> delays;
  std::size_t i = 0;
  while (i < text.size()) {
    if (text[i] == ' ' || text[i] == '\t') {
      ++i;
      continue;
    }
    std::size_t end = text.find_first_of(" \t", i);
    if (end == std::string_view::npos) end = text.size();
    const std::string_view token = text.substr(i, end - i);
    i = end;
    if (token == "x") {
      delays.push_back(-1);
      continue;
    }
    int ms = 0;
    const auto [ptr, ec] = std::from_chars(token.data(), token.data() + token.size(), ms);
    if (ec != std::errc{} || ptr != token.data() + token.size() || ms < 0 || ms > kMaxDelayMs) {
      if (why) *why = "bad token '" + std::string(token) + "' (want 0.." + std::to_string(kMaxDelayMs) + " or x)";
      return std::nullopt;
    }
    delays.push_back(ms);
  }
  if (delays.empty()) {
    if (why) *why = "empty script";
    return std::nullopt;
  }
  return ReplyScript(std::move(delays));
}

std::optional<int> ReplyScript::Next() {
  if (delays_.empty()) return 0;
  const int d = delays_[std::min(position_, delays_.size() - 1)];
  if (position_ < delays_.size()) ++position_;
  if (d < 0) return std::nullopt;
  return d;
}

}  // namespace tolvane::testbed
