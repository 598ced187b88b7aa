// The test bed's control channel over Windows Sockets. A Windows program
// can't ask which network namespace it runs in; the bed is there when its
// responder answers, which it only does from the client namespace
// (scripts/test-windows.sh runs Wine there).
// inet_addr is enough for a fixed dotted address; MSVC calls it deprecated.
#define _WINSOCK_DEPRECATED_NO_WARNINGS
#include <winsock2.h>

#include <string>

#include "testbed/testbed.h"
#include "testbed/testbed_channel.h"

namespace tolvane::testbed::detail {
namespace {

// As on Linux: a few short tries, since only a lost datagram is worth
// waiting for.
constexpr int kTries = 3;
constexpr int kWaitMs = 300;

class Winsock {
 public:
  Winsock() : started_(WSAStartup(0x0202, &data_) == 0) {}
  ~Winsock() {
    if (started_) WSACleanup();
  }
  Winsock(const Winsock&) = delete;
  Winsock& operator=(const Winsock&) = delete;
  bool started() const { return started_; }

 private:
  WSADATA data_{};
  bool started_;
};

}  // namespace

std::string Ask(const std::string& command, std::string* error) {
  Winsock winsock;
  if (!winsock.started()) {
    *error = "WSAStartup failed";
    return {};
  }
  const SOCKET s = socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
  if (s == INVALID_SOCKET) {
    *error = "socket: " + std::to_string(WSAGetLastError());
    return {};
  }
  sockaddr_in sa{};
  sa.sin_family = AF_INET;
  sa.sin_port = htons(kControlPort);
  sa.sin_addr.s_addr = inet_addr(kControlHost);
  std::string answer;
  if (connect(s, reinterpret_cast<sockaddr*>(&sa), sizeof sa) != 0) {
    *error = "connect: " + std::to_string(WSAGetLastError());
  } else {
    *error = "no answer from " + std::string(kControlHost) + ":" + std::to_string(kControlPort);
    for (int i = 0; i < kTries && answer.empty(); ++i) {
      if (send(s, command.data(), static_cast<int>(command.size()), 0) < 0) {
        *error = "send: " + std::to_string(WSAGetLastError());
        break;
      }
      fd_set readable;
      FD_ZERO(&readable);
      FD_SET(s, &readable);
      timeval wait{0, kWaitMs * 1000};
      if (select(0, &readable, nullptr, nullptr, &wait) <= 0) continue;
      char buf[65536];
      const int n = recv(s, buf, sizeof buf, 0);
      if (n < 0) {
        *error = "recv: " + std::to_string(WSAGetLastError());  // WSAECONNRESET: nobody listens
        break;
      }
      answer.assign(buf, static_cast<std::size_t>(n));
    }
  }
  closesocket(s);
  return answer;
}

std::string Check() {
  std::string error;
  if (Ask("ping", &error) != "pong")
    return "test bed responder: " + error + " (scripts/test-windows.sh runs these tests inside the bed)";
  return {};
}

}  // namespace tolvane::testbed::detail

namespace tolvane::testbed {

SilentNameServer::SilentNameServer() {
  WSADATA data;
  if (WSAStartup(0x0202, &data) != 0) return;
  const SOCKET s = socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
  sockaddr_in sa{};
  sa.sin_family = AF_INET;
  sa.sin_port = htons(53);
  sa.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  u_long nonBlocking = 1;
  if (s != INVALID_SOCKET && bind(s, reinterpret_cast<const sockaddr*>(&sa), sizeof sa) == 0 &&
      ioctlsocket(s, FIONBIO, &nonBlocking) == 0) {
    socket_ = static_cast<std::intptr_t>(s);
    return;
  }
  if (s != INVALID_SOCKET) closesocket(s);
  WSACleanup();
}

SilentNameServer::~SilentNameServer() {
  if (socket_ < 0) return;
  closesocket(static_cast<SOCKET>(socket_));
  WSACleanup();
}

bool SilentNameServer::listening() const { return socket_ >= 0; }

std::map<int, int> SilentNameServer::Questions(const std::string& name) {
  std::map<int, int> types;
  char query[512];
  int size = 0;
  std::string asked;
  int type = 0;
  while (socket_ >= 0 && (size = recv(static_cast<SOCKET>(socket_), query, sizeof query, 0)) >= 0) {
    if (detail::ReadQuestion(reinterpret_cast<const unsigned char*>(query), size, &asked, &type) && asked == name)
      ++types[type];
  }
  return types;
}

}  // namespace tolvane::testbed
