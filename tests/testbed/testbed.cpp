#include "testbed/testbed.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <charconv>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <stdexcept>
#include <string_view>

namespace tolvane::testbed {

namespace {

// A few short tries: the channel is a veth away, so a lost datagram is the
// only reason to wait, and a missing responder should fail fast.
constexpr int kTries = 3;
constexpr int kWaitMs = 300;

std::string Ask(const std::string& command, std::string* error) {
  const int fd = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
  if (fd < 0) {
    *error = std::string("socket: ") + std::strerror(errno);
    return {};
  }
  sockaddr_in sa{};
  sa.sin_family = AF_INET;
  sa.sin_port = htons(kControlPort);
  inet_pton(AF_INET, kControlHost, &sa.sin_addr);
  std::string answer;
  if (connect(fd, reinterpret_cast<sockaddr*>(&sa), sizeof sa) < 0) {
    *error = std::string("connect: ") + std::strerror(errno);
  } else {
    *error = "no answer from " + std::string(kControlHost) + ":" + std::to_string(kControlPort);
    for (int i = 0; i < kTries && answer.empty(); ++i) {
      if (send(fd, command.data(), command.size(), 0) < 0) {
        *error = std::string("send: ") + std::strerror(errno);
        break;
      }
      pollfd p{fd, POLLIN, 0};
      if (poll(&p, 1, kWaitMs) <= 0) continue;
      char buf[65536];
      const ssize_t n = recv(fd, buf, sizeof buf, 0);
      if (n < 0) {
        *error = std::string("recv: ") + std::strerror(errno);  // ECONNREFUSED: nobody listens
        break;
      }
      answer.assign(buf, static_cast<std::size_t>(n));
    }
  }
  close(fd);
  return answer;
}

bool SameNetns(const char* name, std::string* why) {
  struct stat self{};
  struct stat target{};
  const std::string path = std::string("/run/netns/") + name;
  if (stat("/proc/self/ns/net", &self) != 0) {
    *why = "cannot stat /proc/self/ns/net";
    return false;
  }
  if (stat(path.c_str(), &target) != 0) {
    *why = "network namespace " + std::string(name) + " does not exist (tests/testbed/testbed.sh up)";
    return false;
  }
  if (self.st_dev != target.st_dev || self.st_ino != target.st_ino) {
    *why = "not running inside network namespace " + std::string(name) + " (ip netns exec, or tolvane_add_net_test)";
    return false;
  }
  return true;
}

std::string Check() {
  std::string why;
  if (geteuid() != 0) return "not root: the test bed needs network namespaces and raw sockets";
  if (!SameNetns(kClientNamespace, &why)) return why;
  std::string error;
  if (Ask("ping", &error) != "pong") return "test bed responder: " + error;
  return {};
}

std::string Expect(const std::string& command, std::string_view prefix) {
  std::string answer = Control(command);
  if (answer.compare(0, prefix.size(), prefix) != 0)
    throw std::runtime_error("responder: '" + command + "' answered '" + answer + "'");
  return answer.substr(prefix.size());
}

}  // namespace

bool Available(std::string* why) {
  static std::once_flag once;
  static std::string reason;
  std::call_once(once, [] { reason = Check(); });
  if (why) *why = reason;
  return reason.empty();
}

bool Required() {
  const char* ci = std::getenv("CI");
  return ci && std::string_view(ci) == "true";
}

std::string Control(const std::string& command) {
  std::string error;
  std::string answer = Ask(command, &error);
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
