// How close the engine's round-trip times come to a host's known delay,
// next to iputils ping on the same host, and how long a silent host takes
// to give up on. Prints figures; fails only when it can't run.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "probe/probe.h"
#include "testbed/testbed.h"

namespace {

using namespace tolvane;

constexpr int kSamples = 50;
constexpr double kDelayMs = 15.0;

class Quiet final : public probe::MessageSink {
 public:
  void Show(const std::string& text, probe::MessageIcon) override { std::fprintf(stderr, "message: %s\n", text.c_str()); }
};

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.empty() ? NAN : v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

double Max(const std::vector<double>& v) { return v.empty() ? NAN : *std::max_element(v.begin(), v.end()); }

void Report(const char* who, const std::vector<double>& errors) {
  std::printf("%-14s n=%zu  |rtt - %.0f ms|: median %.3f ms, max %.3f ms\n", who, errors.size(), kDelayMs,
              Median(errors), Max(errors));
}

// Round-trip times iputils ping reports for the same host (`options`: "-6").
std::vector<double> PingTimes(const char* host, const char* options = "") {
  const std::string command = std::string("ping ") + options + " -n -c " + std::to_string(kSamples) +
                              " -i 0.05 -W 1 " + host + " 2>&1";
  std::vector<double> times;
  FILE* out = popen(command.c_str(), "r");
  if (out == nullptr) return times;
  char line[512];
  while (std::fgets(line, sizeof line, out) != nullptr && times.size() < 2 * kSamples) {
    if (const char* t = std::strstr(line, "time=")) times.push_back(std::atof(t + 5));
  }
  pclose(out);
  return times;
}

}  // namespace

int main() {
  std::string why;
  if (!testbed::Available(&why)) {
    std::printf("echo_bench: no test bed (%s)\n", why.c_str());
    return testbed::Required() ? 1 : 77;
  }
  auto sockets = probe::MakeSystemSocketLibrary();
  auto icmp = probe::MakeSystemIcmpService();
  Quiet sink;
  probe::Platform platform{*sockets, *icmp, sink};

  // |rtt - 15 ms| of the engine's echoes to `host`.
  const auto engineErrors = [&platform](const char* host) {
    std::vector<double> errors;
    for (int i = 0; i < kSamples; ++i) {
      probe::EchoReply reply;
      if (probe::ProbeHost(host, reply, platform) >= 0 && reply.Status == probe::kIpSuccess)
        errors.push_back(std::fabs(reply.RoundTripMicroseconds / 1000.0 - kDelayMs));
    }
    return errors;
  };
  const auto pingErrors = [](const char* host, const char* options) {
    std::vector<double> errors;
    for (const double t : PingTimes(host, options)) errors.push_back(std::fabs(t - kDelayMs));
    return errors;
  };
  const std::vector<double> engine = engineErrors(testbed::kResponder15);
  const std::vector<double> ping = pingErrors(testbed::kResponder15, "");
  Report("engine", engine);
  Report("iputils ping", ping);
  // The same over IPv6, to the same responder's IPv6 address.
  const std::vector<double> engine6 = engineErrors(testbed::kResponder15Host6);
  const std::vector<double> ping6 = pingErrors(testbed::kResponder15Host6, "-6");
  Report("engine IPv6", engine6);
  Report("ping -6", ping6);

  std::vector<double> giveUp;
  for (int i = 0; i < 20; ++i) {
    probe::EchoReply reply;
    const auto start = std::chrono::steady_clock::now();
    probe::ProbeHost(testbed::kSilentHost, reply, platform);
    giveUp.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
  }
  std::printf("silent host    n=%zu  time to give up: median %.3f ms, max %.3f ms\n", giveUp.size(), Median(giveUp),
              Max(giveUp));
  return engine.size() == kSamples && !ping.empty() && engine6.size() == kSamples && !ping6.empty() ? 0 : 1;
}
