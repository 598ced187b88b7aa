// ICMP echo on Linux: an unprivileged ping socket where the system allows
// it (net.ipv4.ping_group_range), else a raw socket (root or CAP_NET_RAW).
#include "echo_linux.h"

#include <arpa/inet.h>
#include <linux/errqueue.h>
#include <linux/filter.h>
#include <linux/icmp.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <ctime>
#include <limits>
#include <optional>
#include <random>
#include <utility>
#include <vector>

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

// A raw socket queues a copy of every ICMP message reaching the machine;
// under another pinger's flood ours drown and the queue overflows. This
// classic BPF program keeps only echo replies with our id and errors of the
// kinds a probe reports whose quoted request is an echo with our id.
// Offsets are from the IP header; X holds that header's length.
std::vector<sock_filter> IdFilter(std::uint16_t id) {
  constexpr std::uint8_t kAccept = 21, kDrop = 22;
  auto at = [](std::uint8_t here, std::uint8_t target) { return static_cast<std::uint8_t>(target - here - 1); };
  return {
      BPF_STMT(BPF_LDX | BPF_B | BPF_MSH, 0),                          // 0  X = IP header length
      BPF_STMT(BPF_LD | BPF_B | BPF_IND, 0),                           // 1  ICMP type
      BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, ICMP_ECHOREPLY, 0, at(2, 5)),  // 2
      BPF_STMT(BPF_LD | BPF_H | BPF_IND, 4),                           // 3  its id
      BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, id, at(4, kAccept), at(4, kDrop)),
      BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, ICMP_DEST_UNREACH, at(5, 9), 0),
      BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, ICMP_SOURCE_QUENCH, at(6, 9), 0),
      BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, ICMP_TIME_EXCEEDED, at(7, 9), 0),
      BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, ICMP_PARAMETERPROB, 0, at(8, kDrop)),
      BPF_STMT(BPF_LD | BPF_B | BPF_IND, 8 + 9),                       // 9  quoted IP protocol
      BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, IPPROTO_ICMP, 0, at(10, kDrop)),
      BPF_STMT(BPF_LD | BPF_B | BPF_IND, 8),                           // 11 quoted header length
      BPF_STMT(BPF_ALU | BPF_AND | BPF_K, 0x0f),
      BPF_STMT(BPF_ALU | BPF_LSH | BPF_K, 2),
      BPF_STMT(BPF_ALU | BPF_ADD | BPF_K, 8),
      BPF_STMT(BPF_ALU | BPF_ADD | BPF_X, 0),
      BPF_STMT(BPF_MISC | BPF_TAX, 0),                                 // 16 X = quoted ICMP header
      BPF_STMT(BPF_LD | BPF_B | BPF_IND, 0),
      BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, ICMP_ECHO, 0, at(18, kDrop)),
      BPF_STMT(BPF_LD | BPF_H | BPF_IND, 4),
      BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, id, at(20, kAccept), at(20, kDrop)),
      BPF_STMT(BPF_RET | BPF_K, 0xffff),                               // 21 accept
      BPF_STMT(BPF_RET | BPF_K, 0),                                    // 22 drop
  };
}

int OpenRawSocket(bool filter, bool lock) {
  const int fd = socket(AF_INET, SOCK_RAW | SOCK_CLOEXEC, IPPROTO_ICMP);
  if (fd < 0) return -errno;
  icmp_filter types{};
  types.data = ~((1U << ICMP_ECHOREPLY) | (1U << ICMP_DEST_UNREACH) | (1U << ICMP_SOURCE_QUENCH) |
                 (1U << ICMP_TIME_EXCEEDED) | (1U << ICMP_PARAMETERPROB));
  bool ok = setsockopt(fd, SOL_RAW, ICMP_FILTER, &types, sizeof types) == 0;
  if (filter) {
    std::vector<sock_filter> program = IdFilter(ProcessId());
    const sock_fprog attached{static_cast<unsigned short>(program.size()), program.data()};
    const int on = 1;
    ok = ok && setsockopt(fd, SOL_SOCKET, SO_ATTACH_FILTER, &attached, sizeof attached) == 0;
    // Locked, code that later runs in this process can't widen it again.
    ok = ok && (!lock || setsockopt(fd, SOL_SOCKET, SO_LOCK_FILTER, &on, sizeof on) == 0);
  }
  if (!ok) {
    const int error = errno;
    close(fd);
    return -error;
  }
  // What arrived before the filter was attached is someone else's.
  std::uint8_t scrap[64];
  for (int i = 0; i < kMaxPacketsPerWait && recv(fd, scrap, sizeof scrap, MSG_DONTWAIT) >= 0; ++i) {
  }
  return fd;
}

std::atomic<int> lentRawSocket{-1};

class LinuxIcmpHandle final : public IcmpHandle {
 public:
  LinuxIcmpHandle(IcmpSocketKind kind, const LinuxEchoOptions& options) : clocks_(options.clocks) {
    int error = 0;
    if (kind != IcmpSocketKind::Raw) {
      fd_ = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, IPPROTO_ICMP);
      if (fd_ < 0) error = errno;
    }
    if (fd_ < 0 && kind != IcmpSocketKind::Datagram) {
      if (const int lent = lentRawSocket.load(); lent >= 0) {
        fd_ = lent;
        borrowed_ = true;
      } else {
        fd_ = OpenRawSocket(options.filterRaw, false);
        if (fd_ < 0) error = -fd_;
      }
      raw_ = fd_ >= 0;
    }
    if (fd_ < 0) {
      openStatus_ = error == EACCES || error == EPERM ? kIcmpNotPermitted : kIpNoResources;
      return;
    }
    const int on = 1;
    setsockopt(fd_, SOL_SOCKET, SO_TIMESTAMPNS, &on, sizeof on);
    if (!raw_) setsockopt(fd_, IPPROTO_IP, IP_RECVERR, &on, sizeof on);  // ICMP errors on the error queue
  }

  ~LinuxIcmpHandle() override {
    if (fd_ >= 0 && !borrowed_) close(fd_);
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

    const std::int64_t sentAt = clocks_.monotonic();
    const std::int64_t deadline = sentAt + std::int64_t{timeout_ms} * 1'000'000;
    const std::int64_t stampedSentAt = clocks_.realtime();  // the kernel stamps replies on this clock
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
      const std::int64_t left = deadline - clocks_.monotonic();
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
        if (const auto count = ReadReply(sent, sentAt, stampedSentAt, reply)) return *count;
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
  std::optional<std::uint32_t> ReadReply(const icmp::Expected& sent, std::int64_t sentAt, std::int64_t stampedSentAt,
                                         EchoReply& reply) {
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

    const std::int64_t elapsed = clocks_.monotonic() - sentAt;
    std::int64_t receivedAt = 0;
    for (cmsghdr* c = CMSG_FIRSTHDR(&message); c != nullptr; c = CMSG_NXTHDR(&message, c)) {
      if (c->cmsg_level == SOL_SOCKET && c->cmsg_type == SCM_TIMESTAMPNS) {
        timespec stamp{};
        std::copy_n(reinterpret_cast<const char*>(CMSG_DATA(c)), sizeof stamp, reinterpret_cast<char*>(&stamp));
        receivedAt = Nanoseconds(stamp);
      }
    }
    const std::int64_t stamped = receivedAt != 0 ? receivedAt - stampedSentAt : -1;
    const std::int64_t micros = RoundTripNanoseconds(stamped, elapsed) / 1000;
    reply.Status = kIpSuccess;
    reply.RoundTripMicroseconds = micros;
    reply.RoundTripTime = WholeMilliseconds(micros);  // truncated, as Windows reports
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

  EchoClocks clocks_;
  int fd_ = -1;
  bool raw_ = false;
  bool borrowed_ = false;
  std::int32_t openStatus_ = 0;
};

class LinuxIcmpService final : public IcmpService {
 public:
  LinuxIcmpService(IcmpSocketKind kind, LinuxEchoOptions options) : kind_(kind), options_(std::move(options)) {}
  std::unique_ptr<IcmpHandle> Open() override { return std::make_unique<LinuxIcmpHandle>(kind_, options_); }

 private:
  IcmpSocketKind kind_;
  LinuxEchoOptions options_;
};

}  // namespace

EchoClocks SystemClocks() {
  return {[] { return Now(CLOCK_REALTIME); }, [] { return Now(CLOCK_MONOTONIC); }};
}

std::int64_t RoundTripNanoseconds(std::int64_t stamped, std::int64_t elapsed) {
  return stamped >= 0 && stamped <= elapsed ? stamped : std::max<std::int64_t>(0, elapsed);
}

std::int32_t WholeMilliseconds(std::int64_t microseconds) {
  return static_cast<std::int32_t>(
      std::clamp<std::int64_t>(microseconds / 1000, 0, std::numeric_limits<std::int32_t>::max()));
}

bool PingSocketAllowed() {
  const int fd = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, IPPROTO_ICMP);
  if (fd < 0) return false;
  close(fd);
  return true;
}

int OpenFilteredRawSocket() { return OpenRawSocket(true, true); }

void LendRawSocket(int fd) { lentRawSocket.store(fd); }

std::unique_ptr<IcmpService> MakeLinuxIcmpService(IcmpSocketKind kind, LinuxEchoOptions options) {
  return std::make_unique<LinuxIcmpService>(kind, std::move(options));
}

std::uint64_t ForeignPacketsDiscarded() { return foreignPackets.load(std::memory_order_relaxed); }

std::unique_ptr<IcmpService> MakeSystemIcmpService() { return MakeLinuxIcmpService(IcmpSocketKind::Any); }

}  // namespace tolvane::probe
