// The control channel over POSIX sockets, and whether this process is in
// the bed's client namespace.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "testbed/testbed.h"
#include "testbed/testbed_channel.h"

namespace tolvane::testbed::detail {
namespace {

// A few short tries: the channel is a veth away, so a lost datagram is the
// only reason to wait, and a missing responder should fail fast.
constexpr int kTries = 3;
constexpr int kWaitMs = 300;

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

}  // namespace

std::string Check() {
  std::string why;
  if (geteuid() != 0) return "not root: the test bed needs network namespaces and raw sockets";
  if (!SameNetns(kClientNamespace, &why)) return why;
  std::string error;
  if (Ask("ping", &error) != "pong") return "test bed responder: " + error;
  return {};
}

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

}  // namespace tolvane::testbed::detail

namespace tolvane::testbed {

SilentNameServer::SilentNameServer() {
  const int fd = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
  sockaddr_in sa{};
  sa.sin_family = AF_INET;
  sa.sin_port = htons(53);
  sa.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (fd >= 0 && bind(fd, reinterpret_cast<const sockaddr*>(&sa), sizeof sa) == 0) socket_ = fd;
  else if (fd >= 0) close(fd);
}

SilentNameServer::~SilentNameServer() {
  if (socket_ >= 0) close(static_cast<int>(socket_));
}

bool SilentNameServer::listening() const { return socket_ >= 0; }

std::map<int, int> SilentNameServer::Questions(const std::string& name) {
  std::map<int, int> types;
  unsigned char query[512];
  ssize_t size = 0;
  std::string asked;
  int type = 0;
  while (socket_ >= 0 && (size = recv(static_cast<int>(socket_), query, sizeof query, MSG_DONTWAIT)) >= 0) {
    if (detail::ReadQuestion(query, size, &asked, &type) && asked == name) ++types[type];
  }
  return types;
}

}  // namespace tolvane::testbed
