// How long "Ping" holds the window for a name that no name server answers,
// and how many questions the name server got meanwhile. Inside the test
// bed's client namespace, with a name server there that reads every
// question and answers none, so each lookup runs into the resolver's
// time-out (resolv.conf's, or RES_OPTIONS'). Prints figures; fails only
// when it can't run.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>

#include "app/engine.h"
#include "testbed/testbed.h"

namespace {

using namespace tolvane;

constexpr int kPresses = 3;

// "A 1, AAAA 1"
std::string Said(const std::map<int, int>& questions) {
  std::string text;
  for (const auto& [type, count] : questions) {
    const std::string name = type == 1 ? "A" : type == 28 ? "AAAA" : "type " + std::to_string(type);
    text += (text.empty() ? "" : ", ") + name + " " + std::to_string(count);
  }
  return text.empty() ? "none" : text;
}

class QuietView final : public ui::RunView {
 public:
  ui::ChartControl& chart() override { return chart_; }
  void SetCurrentText(const std::string&) override {}
  void SetResultsText(const std::string&) override {}
  void ShowStop(bool) override {}
  void SetTimerPeriod(std::int32_t) override {}
  void SetTimerEnabled(bool) override {}
  void ShowMessage(const std::string& text, BoxIcon) override { said = text; }
  std::string said;

 private:
  ui::ChartControl chart_;
};

}  // namespace

int main() {
  std::string why;
  if (!testbed::Available(&why)) {
    std::printf("press_bench: no test bed (%s)\n", why.c_str());
    return testbed::Required() ? 1 : 77;
  }
  testbed::SilentNameServer server;
  if (!server.listening()) {
    std::printf("press_bench: can't listen on 127.0.0.1:53\n");
    return 1;
  }
  QuietView view;
  ui::WiredRun wired(ui::SystemEngine(), view, ui::NumberSeparators{}, "press_bench");
  const char* options = std::getenv("RES_OPTIONS");
  std::printf("\"Ping\" on %s, which no name server answers (resolver options: resolv.conf's%s%s):\n",
              testbed::kUnknownName, options ? ", then RES_OPTIONS " : "", options ? options : "");
  for (int i = 0; i < kPresses; ++i) {
    view.said.clear();
    const auto start = std::chrono::steady_clock::now();
    wired.run().Press({testbed::kUnknownName, "6", "2"});
    const std::chrono::duration<double> held = std::chrono::steady_clock::now() - start;
    std::printf("  press %d: the window held %.2f s; questions: %s; then \"%s\"\n", i + 1, held.count(),
                Said(server.Questions(testbed::kUnknownName)).c_str(), view.said.c_str());
  }
  return 0;
}
