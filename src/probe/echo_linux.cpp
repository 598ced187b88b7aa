// ICMP echo on Linux: an unprivileged ping socket where the system allows
// it (net.ipv4.ping_group_range), else a raw socket (root or CAP_NET_RAW).
#include "echo_linux.h"

#include <arpa/inet.h>
#include <linux/errqueue.h>
#include <linux/icmp.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <ctime>
#include <optional>
#include <random>

#include "icmp_packet.h"
#include "probe.h"

namespace tolvane::probe {
namespace {

// Enough packets to outlast any flood within one time-out; the deadline
// ends the wait long before this in practice.
constexpr int kMaxPacketsPerWait = 100000;

std::int64_t Nanoseconds(const timespec& t) { return std::int64_t{t.tv_sec} * 1'000'000'000 + t.tv_nsec; }

std::int64_t Now(clockid_t clock) {
  timespec t{};
  clock_gettime(clock, &t);
  return Nanoseconds(t);
}

// Raw sockets see every pinger's replies: tell ours apart by an id of this
// process and a sequence number that never repeats within it.
std::uint16_t ProcessId() {
  static const std::uint16_t id = static_cast<std::uint16_t>(std::random_device{}());
  return id;
}

std::atomic<std::uint64_t> foreignPackets{0};

std::uint16_t NextSequence() {
  static std::atomic<std::uint16_t> sequence{static_cast<std::uint16_t>(std::random_device{}())};
  return sequence.fetch_add(1, std::memory_order_relaxed);
}

std::int32_t SendErrorStatus(int error) {
  switch (error) {
    case ENETUNREACH: return kIpDestNetUnreachable;
    case EHOSTUNREACH: return kIpDestHostUnreachable;
    case EACCES: return kIpBadDestination;  // a broadcast address
    case EMSGSIZE: return kIpPacketTooBig;
    case ENOBUFS: case ENOMEM: return kIpNoResources;
    default: return kIpGeneralFailure;
  }
}

class LinuxIcmpHandle final : public IcmpHandle {
 public:
  explicit LinuxIcmpHandle(IcmpSocketKind kind) {
    int error = 0;
    if (kind != IcmpSocketKind::Raw) {
      fd_ = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, IPPROTO_ICMP);
      if (fd_ < 0) error = errno;
    }
    if (fd_ < 0 && kind != IcmpSocketKind::Datagram) {
      fd_ = socket(AF_INET, SOCK_RAW | SOCK_CLOEXEC, IPPROTO_ICMP);
      raw_ = fd_ >= 0;
      if (fd_ < 0) error = errno;
    }
    if (fd_ < 0) {
      openStatus_ = error == EACCES || error == EPERM ? kIcmpNotPermitted : kIpNoResources;
      return;
    }
    const int on = 1;
    setsockopt(fd_, SOL_SOCKET, SO_TIMESTAMPNS, &on, sizeof on);
    if (raw_) {
      icmp_filter filter{};
      filter.data = ~((1U << ICMP_ECHOREPLY) | (1U << ICMP_DEST_UNREACH) | (1U << ICMP_SOURCE_QUENCH) |
                      (1U << ICMP_TIME_EXCEEDED) | (1U << ICMP_PARAMETERPROB));
      setsockopt(fd_, SOL_RAW, ICMP_FILTER, &filter, sizeof filter);
    } else {
      setsockopt(fd_, IPPROTO_IP, IP_RECVERR, &on, sizeof on);  // ICMP errors on the error queue
    }
  }

  ~LinuxIcmpHandle() override {
    if (fd_ >= 0) close(fd_);
  }

  LinuxIcmpHandle(const LinuxIcmpHandle&) = delete;
  LinuxIcmpHandle& operator=(const LinuxIcmpHandle&) = delete;

  std::uint32_t SendEcho(std::uint32_t destination, std::span<const char> request, EchoReply& reply,
                         std::uint32_t timeout_ms) override {
    if (openStatus_ != 0) return Fail(reply, openStatus_);
    // 0.0.0.0 is what an unconvertible text gives, and Linux answers it
    // from loopback: never let a host name "answer" that way.
    if (destination == 0) return Fail(reply, kIpBadDestination);

    const std::span<const std::uint8_t> data(reinterpret_cast<const std::uint8_t*>(request.data()),
                                             request.size());
    icmp::Expected sent{destination, raw_ ? ProcessId() : std::uint16_t{0}, NextSequence(), data};
    const auto packet = icmp::EchoRequest(sent.id, sent.sequence, data);
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_addr.s_addr = destination;

    const std::int64_t deadline = Now(CLOCK_MONOTONIC) + std::int64_t{timeout_ms} * 1'000'000;
    const std::int64_t sentAt = Now(CLOCK_REALTIME);  // the kernel stamps replies on this clock
    if (sendto(fd_, packet.data(), packet.size(), 0, reinterpret_cast<const sockaddr*>(&to), sizeof to) < 0)
      return Fail(reply, SendErrorStatus(errno));
    if (!raw_) {
      // The kernel puts the socket's port in the id field.
      sockaddr_in local{};
      socklen_t length = sizeof local;
      if (getsockname(fd_, reinterpret_cast<sockaddr*>(&local), &length) == 0)
        sent.id = ntohs(local.sin_port);
    }

    for (int packets = 0; packets < kMaxPacketsPerWait; ++packets) {
      const std::int64_t left = deadline - Now(CLOCK_MONOTONIC);
      if (left <= 0) break;
      pollfd p{fd_, POLLIN, 0};
      const timespec wait{static_cast<time_t>(left / 1'000'000'000), static_cast<long>(left % 1'000'000'000)};
      const int ready = ppoll(&p, 1, &wait, nullptr);
      if (ready == 0) break;
      if (ready < 0) {
        if (errno == EINTR) continue;
        return Fail(reply, kIpGeneralFailure);
      }
      if ((p.revents & POLLERR) && !raw_) {
        if (const std::int32_t status = ReadError(sent); status != 0) return Fail(reply, status);
      }
      if (p.revents & POLLIN) {
        if (const auto count = ReadReply(sent, sentAt, reply)) return *count;
      }
    }
    return Fail(reply, kIpReqTimedOut);
  }

 private:
  static std::uint32_t Fail(EchoReply& reply, std::int32_t status) {
    reply.Status = status;
    return 0;
  }

  // One datagram off the socket. Nothing when it wasn't ours; otherwise the
  // number of replies, with `reply` filled (1), or its error status set (0).
  std::optional<std::uint32_t> ReadReply(const icmp::Expected& sent, std::int64_t sentAt, EchoReply& reply) {
    std::uint8_t buffer[2048];
    alignas(cmsghdr) char control[256];
    sockaddr_in from{};
    iovec io{buffer, sizeof buffer};
    msghdr message{};
    message.msg_name = &from;
    message.msg_namelen = sizeof from;
    message.msg_iov = &io;
    message.msg_iovlen = 1;
    message.msg_control = control;
    message.msg_controllen = sizeof control;
    const ssize_t size = recvmsg(fd_, &message, MSG_DONTWAIT);
    if (size <= 0) return std::nullopt;
    const std::span<const std::uint8_t> bytes(buffer, static_cast<std::size_t>(size));
    const icmp::Match match = raw_ ? icmp::ClassifyDatagram(bytes, sent)
                                   : icmp::Classify(bytes, from.sin_addr.s_addr, sent, true);
    if (match.verdict == icmp::Verdict::Error) return Fail(reply, match.status);
    if (match.verdict != icmp::Verdict::Reply) {
      foreignPackets.fetch_add(1, std::memory_order_relaxed);
      return std::nullopt;
    }

    std::int64_t receivedAt = 0;
    for (cmsghdr* c = CMSG_FIRSTHDR(&message); c != nullptr; c = CMSG_NXTHDR(&message, c)) {
      if (c->cmsg_level == SOL_SOCKET && c->cmsg_type == SCM_TIMESTAMPNS) {
        timespec stamp{};
        std::copy_n(reinterpret_cast<const char*>(CMSG_DATA(c)), sizeof stamp, reinterpret_cast<char*>(&stamp));
        receivedAt = Nanoseconds(stamp);
      }
    }
    if (receivedAt == 0) receivedAt = Now(CLOCK_REALTIME);
    const std::int64_t micros = std::max<std::int64_t>(0, (receivedAt - sentAt) / 1000);
    reply.Status = kIpSuccess;
    reply.RoundTripMicroseconds = micros;
    reply.RoundTripTime = static_cast<std::int32_t>(micros / 1000);  // truncated, as Windows reports
    const std::size_t copied = std::min(match.data.size(), reply.DataBuffer.size());
    std::copy_n(match.data.begin(), copied, reply.DataBuffer.begin());
    return 1;
  }

  // An ICMP error the kernel queued for our ping socket: its status, or 0.
  std::int32_t ReadError(const icmp::Expected& sent) {
    std::uint8_t buffer[512];
    alignas(cmsghdr) char control[512];
    iovec io{buffer, sizeof buffer};
    msghdr message{};
    message.msg_iov = &io;
    message.msg_iovlen = 1;
    message.msg_control = control;
    message.msg_controllen = sizeof control;
    const ssize_t size = recvmsg(fd_, &message, MSG_ERRQUEUE | MSG_DONTWAIT);
    if (size < 0) return 0;
    // The queued data is the request that caused the error, as we sent it.
    if (size >= 8 && (buffer[6] << 8 | buffer[7]) != sent.sequence) return 0;
    for (cmsghdr* c = CMSG_FIRSTHDR(&message); c != nullptr; c = CMSG_NXTHDR(&message, c)) {
      if (c->cmsg_level != IPPROTO_IP || c->cmsg_type != IP_RECVERR) continue;
      sock_extended_err error{};
      std::copy_n(reinterpret_cast<const char*>(CMSG_DATA(c)), sizeof error, reinterpret_cast<char*>(&error));
      if (error.ee_origin == SO_EE_ORIGIN_ICMP) return icmp::ErrorStatus(error.ee_type, error.ee_code);
      if (error.ee_origin == SO_EE_ORIGIN_LOCAL) return SendErrorStatus(static_cast<int>(error.ee_errno));
    }
    return 0;
  }

  int fd_ = -1;
  bool raw_ = false;
  std::int32_t openStatus_ = 0;
};

class LinuxIcmpService final : public IcmpService {
 public:
  explicit LinuxIcmpService(IcmpSocketKind kind) : kind_(kind) {}
  std::unique_ptr<IcmpHandle> Open() override { return std::make_unique<LinuxIcmpHandle>(kind_); }

 private:
  IcmpSocketKind kind_;
};

}  // namespace

std::unique_ptr<IcmpService> MakeLinuxIcmpService(IcmpSocketKind kind) {
  return std::make_unique<LinuxIcmpService>(kind);
}

std::uint64_t ForeignPacketsDiscarded() { return foreignPackets.load(std::memory_order_relaxed); }

std::unique_ptr<IcmpService> MakeSystemIcmpService() { return MakeLinuxIcmpService(IcmpSocketKind::Any); }

}  // namespace tolvane::probe
