// False time-outs on the raw socket while iputils ping floods the kernel
// host: the hosts probed answer every echo, so each time-out is a reply lost
// in our socket's queue. Per 5,000 probes, for a raw socket per probe with only
// the ICMP type filter (as before), with the id filter, and for the
// program's own: the filtered socket obtained at start-up and borrowed; to the
// kernel host and to the 15 ms responder.
// Prints figures; fails only when it can't run.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <memory>
#include <string>

#include "probe/echo_linux.h"
#include "probe/probe.h"
#include "testbed/testbed.h"

namespace {

using namespace tolvane;
using Clock = std::chrono::steady_clock;

constexpr int kProbes = 5000;
constexpr int kRounds = 3;
constexpr int kSlowProbes = 200;
constexpr auto kMaxPerMode = std::chrono::seconds(60);

class Quiet final : public probe::MessageSink {
 public:
  void Show(const std::string& text, probe::MessageIcon) override { std::fprintf(stderr, "message: %s\n", text.c_str()); }
};

// ping -f at the kernel host, for at most `seconds`; its summary line
// (packets sent and received) once stopped.
class Flood {
 public:
  explicit Flood(int seconds) {
    int out[2];
    if (pipe(out) != 0) return;
    pid_ = fork();
    if (pid_ == 0) {
      dup2(out[1], 1);
      close(out[0]);
      const std::string deadline = std::to_string(seconds);
      execlp("ping", "ping", "-q", "-n", "-f", "-w", deadline.c_str(), testbed::kKernelHost,
             static_cast<char*>(nullptr));
      _exit(127);
    }
    close(out[1]);
    out_ = out[0];
    started_ = Clock::now();
  }
  std::string Stop() {
    if (pid_ <= 0) return "no flood";
    kill(pid_, SIGINT);
    std::string text;
    char buffer[512];
    for (ssize_t n; (n = read(out_, buffer, sizeof buffer)) > 0;) text.append(buffer, n);
    close(out_);
    waitpid(pid_, nullptr, 0);
    pid_ = -1;
    const double seconds = std::chrono::duration<double>(Clock::now() - started_).count();
    unsigned long sent = 0;
    const std::size_t at = text.find(" packets transmitted");
    if (at != std::string::npos) sent = std::stoul(text.substr(text.rfind('\n', at) + 1));
    char rate[64];
    std::snprintf(rate, sizeof rate, "%.0f echoes/s", sent / seconds);
    return rate;
  }
  ~Flood() { Stop(); }
  Flood(const Flood&) = delete;
  Flood& operator=(const Flood&) = delete;

 private:
  pid_t pid_ = -1;
  int out_ = -1;
  Clock::time_point started_;
};

void Measure(const char* name, probe::IcmpService& icmp, const char* host = testbed::kKernelHost,
             int count = kProbes) {
  Quiet quiet;
  auto sockets = probe::MakeSystemSocketLibrary();
  probe::Platform platform{*sockets, icmp, quiet};
  probe::Checker checker(platform);
  Flood flood(static_cast<int>(kMaxPerMode.count()) + 10);
  usleep(300'000);  // let the flood build up
  int probes = 0, timeouts = 0, other = 0;
  const auto start = Clock::now();
  for (; probes < count && Clock::now() - start < kMaxPerMode; ++probes) {
    if (checker.check(host) >= 0) continue;
    if (checker.reply.Status == probe::kIpReqTimedOut) ++timeouts;
    else ++other;
  }
  const std::string rate = flood.Stop();
  std::printf("%-40s %-10s %3d false time-outs in %d probes (%.2f per 5,000), %d other failures; flood %s\n", name,
              host, timeouts, probes, probes ? 5000.0 * timeouts / probes : 0.0, other, rate.c_str());
  std::fflush(stdout);
}

}  // namespace

int main() {
  std::string why;
  if (!testbed::Available(&why)) {
    std::fprintf(stderr, "flood_bench: no test bed (%s)\n", why.c_str());
    return testbed::Required() ? 1 : 77;
  }
  probe::LinuxEchoOptions typesOnly;
  typesOnly.filterRaw = false;
  for (int round = 0; round < kRounds; ++round) {
    Measure("raw socket per probe, type filter only:", *probe::MakeLinuxIcmpService(probe::IcmpSocketKind::Raw, typesOnly));
    Measure("raw socket per probe, id filter:", *probe::MakeLinuxIcmpService(probe::IcmpSocketKind::Raw));
  }
  // A host 15 ms away keeps each probe's socket open long enough for the
  // flood to fill an unfiltered queue.
  Measure("raw socket per probe, type filter only:", *probe::MakeLinuxIcmpService(probe::IcmpSocketKind::Raw, typesOnly),
          testbed::kResponder15, kSlowProbes);
  Measure("raw socket per probe, id filter:", *probe::MakeLinuxIcmpService(probe::IcmpSocketKind::Raw),
          testbed::kResponder15, kSlowProbes);
  const int fd = probe::OpenFilteredRawSocket();
  if (fd < 0) {
    std::fprintf(stderr, "flood_bench: no raw socket\n");
    return 1;
  }
  probe::LendRawSocket(fd);
  const auto program = probe::MakeLinuxIcmpService(probe::IcmpSocketKind::Raw);
  for (int round = 0; round < kRounds; ++round) Measure("start-up raw socket, id filter, locked:", *program);
  Measure("start-up raw socket, id filter, locked:", *program, testbed::kResponder15, kSlowProbes);
  return 0;
}
