#include "testbed/raw_icmp.h"

#include <arpa/inet.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <ctime>
#include <system_error>

#include "testbed/icmp_wire.h"

namespace tolvane::testbed {

std::int64_t RealtimeNs() {
  timespec ts{};
  clock_gettime(CLOCK_REALTIME, &ts);
  return std::int64_t{ts.tv_sec} * 1'000'000'000 + ts.tv_nsec;
}

RawIcmp::RawIcmp() {
  fd_ = socket(AF_INET, SOCK_RAW | SOCK_CLOEXEC, IPPROTO_ICMP);
  if (fd_ < 0) throw std::system_error(errno, std::generic_category(), "raw ICMP socket");
  const int on = 1;
  setsockopt(fd_, SOL_SOCKET, SO_TIMESTAMPNS, &on, sizeof on);
}

RawIcmp::~RawIcmp() { close(fd_); }

std::int64_t RawIcmp::SendEcho(const char* dst, std::uint16_t id, std::uint16_t seq,
                               std::span<const std::uint8_t> payload) {
  sockaddr_in sa{};
  sa.sin_family = AF_INET;
  if (inet_pton(AF_INET, dst, &sa.sin_addr) != 1)
    throw std::system_error(EINVAL, std::generic_category(), dst);
  const auto packet = BuildEcho(Echo{kEchoRequest, 0, id, seq, {payload.begin(), payload.end()}});
  const std::int64_t t = RealtimeNs();
  if (sendto(fd_, packet.data(), packet.size(), 0, reinterpret_cast<sockaddr*>(&sa), sizeof sa) < 0)
    throw std::system_error(errno, std::generic_category(), "sendto");
  return t;
}

std::optional<IcmpPacket> RawIcmp::Receive(int timeoutMs) {
  const std::int64_t deadline = RealtimeNs() + std::int64_t{timeoutMs} * 1'000'000;
  // Bounded: one datagram per round, and the deadline only moves closer.
  for (;;) {
    const std::int64_t left = deadline - RealtimeNs();
    if (left <= 0) return std::nullopt;
    pollfd p{fd_, POLLIN, 0};
    if (poll(&p, 1, static_cast<int>(left / 1'000'000) + 1) <= 0) continue;
    std::uint8_t buf[65536];
    alignas(cmsghdr) char control[256];
    iovec iov{buf, sizeof buf};
    msghdr msg{};
    msg.msg_iov = &iov;
    msg.msg_iovlen = 1;
    msg.msg_control = control;
    msg.msg_controllen = sizeof control;
    const ssize_t n = recvmsg(fd_, &msg, MSG_DONTWAIT);
    if (n < 0) continue;
    const auto ip = ParseIpv4(std::span<const std::uint8_t>(buf, static_cast<std::size_t>(n)));
    if (!ip) continue;
    IcmpPacket out;
    out.src = ip->src;
    out.ttl = ip->ttl;
    out.icmp.assign(ip->payload.begin(), ip->payload.end());
    out.rxNs = RealtimeNs();
    for (cmsghdr* c = CMSG_FIRSTHDR(&msg); c; c = CMSG_NXTHDR(&msg, c)) {
      if (c->cmsg_level == SOL_SOCKET && c->cmsg_type == SCM_TIMESTAMPNS) {
        timespec ts{};
        std::memcpy(&ts, CMSG_DATA(c), sizeof ts);
        out.rxNs = std::int64_t{ts.tv_sec} * 1'000'000'000 + ts.tv_nsec;
      }
    }
    return out;
  }
}

}  // namespace tolvane::testbed
