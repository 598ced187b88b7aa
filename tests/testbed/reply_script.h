// What the scripted host does with each echo request: a list of tokens, one
// per request, the last one repeating once the list runs out.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tolvane::testbed {

class ReplyScript {
 public:
  // Delays in ms; a negative entry drops that request. Empty means "reply
  // at once" for every request.
  explicit ReplyScript(std::vector<int> delaysMs = {});

  // Parses "12 15 x 20": numbers are delays in ms, "x" drops. nullopt (with
  // a reason in *why) on anything else, on an empty list or on delays over
  // kMaxDelayMs.
  static std::optional<ReplyScript> Parse(std::string_view text, std::string* why);

  // The delay for the next request (ms), or nullopt to drop it. Advances.
  std::optional<int> Next();

  static constexpr int kMaxDelayMs = 60000;

 private:
  std::vector<int> delays_;
  std::size_t position_ = 0;
};

}  // namespace tolvane::testbed
