// ICMP and ICMPv6 echo on Linux: an unprivileged ping socket where the
// system allows it (net.ipv4.ping_group_range, for both families), else a
// raw socket (root or CAP_NET_RAW).
#include "echo_linux.h"

#include <arpa/inet.h>
#include <linux/errqueue.h>
#include <linux/filter.h>
#include <linux/icmp.h>
#include <netinet/icmp6.h>
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

#include "icmp6_packet.h"
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

// Attaches `program` (and locks it when asked); what arrived before it is
// someone else's and is read away. False with errno set on failure.
bool AttachFilter(int fd, std::vector<sock_filter> program, bool lock) {
  const sock_fprog attached{static_cast<unsigned short>(program.size()), program.data()};
  const int on = 1;
  if (setsockopt(fd, SOL_SOCKET, SO_ATTACH_FILTER, &attached, sizeof attached) != 0) return false;
  // Locked, code that later runs in this process can't widen it again.
  if (lock && setsockopt(fd, SOL_SOCKET, SO_LOCK_FILTER, &on, sizeof on) != 0) return false;
  std::uint8_t scrap[64];
  for (int i = 0; i < kMaxPacketsPerWait && recv(fd, scrap, sizeof scrap, MSG_DONTWAIT) >= 0; ++i) {
  }
  return true;
}

// A raw socket, `types` set as its ICMP type filter and, when asked, the id
// filter `program` attached: the descriptor, or -errno.
template <typename Types>
int OpenRaw(int domain, int protocol, int level, int option, const Types& types,
            std::vector<sock_filter> (*program)(std::uint16_t), bool filter, bool lock) {
  const int fd = socket(domain, SOCK_RAW | SOCK_CLOEXEC, protocol);
  if (fd < 0) return -errno;
  bool ok = setsockopt(fd, level, option, &types, sizeof types) == 0;
  ok = ok && (!filter || AttachFilter(fd, program(ProcessId()), lock));
  if (ok) return fd;
  const int error = errno;
  close(fd);
  return -error;
}

int OpenRawSocket(bool filter, bool lock) {
  icmp_filter types{};
  types.data = ~((1U << ICMP_ECHOREPLY) | (1U << ICMP_DEST_UNREACH) | (1U << ICMP_SOURCE_QUENCH) |
                 (1U << ICMP_TIME_EXCEEDED) | (1U << ICMP_PARAMETERPROB));
  return OpenRaw(AF_INET, IPPROTO_ICMP, SOL_RAW, ICMP_FILTER, types, IdFilter, filter, lock);
}

// The same for a raw ICMPv6 socket, which hands over the message without
// the IPv6 header: offsets are from the ICMPv6 header. Echo replies with
// our id, and errors quoting an echo request with our id (our requests
// carry no extension headers, so the quoted echo header lies right after
// the quoted 40-byte IPv6 header).
std::vector<sock_filter> IdFilter6(std::uint16_t id) {
  constexpr std::uint8_t kAccept = 14, kDrop = 15;
  auto at = [](std::uint8_t here, std::uint8_t target) { return static_cast<std::uint8_t>(target - here - 1); };
  return {
      BPF_STMT(BPF_LD | BPF_B | BPF_ABS, 0),  // 0  ICMPv6 type
      BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, icmp6::kEchoReply, 0, at(1, 4)),
      BPF_STMT(BPF_LD | BPF_H | BPF_ABS, 4),  // 2  its id
      BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, id, at(3, kAccept), at(3, kDrop)),
      BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, icmp6::kDestUnreachable, at(4, 8), 0),
      BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, icmp6::kPacketTooBig, at(5, 8), 0),
      BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, icmp6::kTimeExceeded, at(6, 8), 0),
      BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, icmp6::kParameterProblem, 0, at(7, kDrop)),
      BPF_STMT(BPF_LD | BPF_B | BPF_ABS, 8 + 6),  // 8  quoted next header
      BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, IPPROTO_ICMPV6, 0, at(9, kDrop)),
      BPF_STMT(BPF_LD | BPF_B | BPF_ABS, 8 + 40),  // 10 quoted ICMPv6 type
      BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, icmp6::kEchoRequest, 0, at(11, kDrop)),
      BPF_STMT(BPF_LD | BPF_H | BPF_ABS, 8 + 40 + 4),  // 12 quoted id
      BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, id, at(13, kAccept), at(13, kDrop)),
      BPF_STMT(BPF_RET | BPF_K, 0xffff),  // 14 accept
      BPF_STMT(BPF_RET | BPF_K, 0),       // 15 drop
  };
}

int OpenRawSocket6(bool filter, bool lock) {
  icmp6_filter types{};
  ICMP6_FILTER_SETBLOCKALL(&types);
  for (const int type : {icmp6::kEchoReply, icmp6::kDestUnreachable, icmp6::kPacketTooBig, icmp6::kTimeExceeded,
                         icmp6::kParameterProblem})
    ICMP6_FILTER_SETPASS(type, &types);
  return OpenRaw(AF_INET6, IPPROTO_ICMPV6, IPPROTO_ICMPV6, ICMP6_FILTER, types, IdFilter6, filter, lock);
}

// What tells the two families' sockets apart; the rest of an echo is the same.
struct Family {
  int domain;
  int protocol;
  int errorLevel;    // where a ping socket's queued ICMP errors are reported
  int errorOption;
  std::uint8_t errorOrigin;
  std::int32_t (*errorStatus)(std::uint8_t type, std::uint8_t code);
  int (*openRaw)(bool filter, bool lock);
  mutable std::atomic<int> lent{-1};  // the raw socket lent to every probe, if any
};

const Family kIpv4{AF_INET,        IPPROTO_ICMP,      IPPROTO_IP,     IP_RECVERR,  SO_EE_ORIGIN_ICMP,
                   icmp::ErrorStatus, OpenRawSocket};
const Family kIpv6{AF_INET6,        IPPROTO_ICMPV6,     IPPROTO_IPV6,    IPV6_RECVERR, SO_EE_ORIGIN_ICMP6,
                   icmp6::ErrorStatus, OpenRawSocket6};

// One ICMP socket of either family for one probe: a ping socket, a borrowed
// raw socket or one of its own; the send, the wait for our answer among
// everything that arrives, and its timing.
class EchoSocket {
 public:
  EchoSocket(const Family& family, IcmpSocketKind kind, const LinuxEchoOptions& options)
      : family_(family), clocks_(options.clocks) {
    int error = 0;
    if (kind != IcmpSocketKind::Raw) {
      fd_ = socket(family.domain, SOCK_DGRAM | SOCK_CLOEXEC, family.protocol);
      if (fd_ < 0) error = errno;
    }
    if (fd_ < 0 && kind != IcmpSocketKind::Datagram) {
      if (const int lent = family.lent.load(); lent >= 0) {
        fd_ = lent;
        borrowed_ = true;
      } else {
        fd_ = family.openRaw(options.filterRaw, false);
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
    if (!raw_) setsockopt(fd_, family.errorLevel, family.errorOption, &on, sizeof on);  // errors on the error queue
  }

  ~EchoSocket() {
    if (fd_ >= 0 && !borrowed_) close(fd_);
  }

  EchoSocket(const EchoSocket&) = delete;
  EchoSocket& operator=(const EchoSocket&) = delete;

  bool raw() const { return raw_; }
  std::int32_t openStatus() const { return openStatus_; }

  // Sends `packet` to `to` and waits for what `classify` (message, sender)
  // takes for our answer to `sent`. A ping socket puts its own id into the
  // request: `sent.id` is set to it after the send.
  template <typename Address, typename Sent, typename Classify>
  std::uint32_t Exchange(std::span<const std::uint8_t> packet, const Address& to, Sent& sent, Classify classify,
                         EchoReply& reply, std::uint32_t timeout_ms) {
    const std::int64_t sentAt = clocks_.monotonic();
    const std::int64_t deadline = sentAt + std::int64_t{timeout_ms} * 1'000'000;
    const std::int64_t stampedSentAt = clocks_.realtime();  // the kernel stamps replies on this clock
    if (sendto(fd_, packet.data(), packet.size(), 0, reinterpret_cast<const sockaddr*>(&to), sizeof to) < 0)
      return FailEcho(reply, SendErrorStatus(errno));
    if (!raw_) {
      // The kernel puts the socket's port in the id field.
      sockaddr_storage local{};
      socklen_t length = sizeof local;
      if (getsockname(fd_, reinterpret_cast<sockaddr*>(&local), &length) == 0)
        sent.id = ntohs(family_.domain == AF_INET6 ? reinterpret_cast<const sockaddr_in6*>(&local)->sin6_port
                                                   : reinterpret_cast<const sockaddr_in*>(&local)->sin_port);
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
        return FailEcho(reply, kIpGeneralFailure);
      }
      if ((p.revents & POLLERR) && !raw_) {
        if (const std::int32_t status = ReadError(sent.sequence); status != 0) return FailEcho(reply, status);
      }
      if (p.revents & POLLIN) {
        if (const auto count = ReadReply(classify, sentAt, stampedSentAt, reply)) return *count;
      }
    }
    return FailEcho(reply, kIpReqTimedOut);
  }

 private:
  // One datagram off the socket. Nothing when it wasn't ours; otherwise the
  // number of replies, with `reply` filled (1), or its error status set (0).
  template <typename Classify>
  std::optional<std::uint32_t> ReadReply(Classify& classify, std::int64_t sentAt, std::int64_t stampedSentAt,
                                         EchoReply& reply) {
    std::uint8_t buffer[2048];
    alignas(cmsghdr) char control[256];
    sockaddr_storage from{};
    iovec io{buffer, sizeof buffer};
    msghdr message{.msg_name = &from, .msg_namelen = sizeof from, .msg_iov = &io, .msg_iovlen = 1,
                   .msg_control = control, .msg_controllen = sizeof control, .msg_flags = 0};
    const ssize_t size = recvmsg(fd_, &message, MSG_DONTWAIT);
    if (size <= 0) return std::nullopt;
    const icmp::Match match = classify(std::span<const std::uint8_t>(buffer, static_cast<std::size_t>(size)), from);
    if (match.verdict == icmp::Verdict::Error) return FailEcho(reply, match.status);
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
  std::int32_t ReadError(std::uint16_t sequence) {
    std::uint8_t buffer[512];
    alignas(cmsghdr) char control[512];
    iovec io{buffer, sizeof buffer};
    msghdr message{.msg_name = nullptr, .msg_namelen = 0, .msg_iov = &io, .msg_iovlen = 1,
                   .msg_control = control, .msg_controllen = sizeof control, .msg_flags = 0};
    const ssize_t size = recvmsg(fd_, &message, MSG_ERRQUEUE | MSG_DONTWAIT);
    if (size < 0) return 0;
    // The queued data is the request that caused the error, as we sent it.
    if (size >= 8 && (buffer[6] << 8 | buffer[7]) != sequence) return 0;
    for (cmsghdr* c = CMSG_FIRSTHDR(&message); c != nullptr; c = CMSG_NXTHDR(&message, c)) {
      if (c->cmsg_level != family_.errorLevel || c->cmsg_type != family_.errorOption) continue;
      sock_extended_err error{};
      std::copy_n(reinterpret_cast<const char*>(CMSG_DATA(c)), sizeof error, reinterpret_cast<char*>(&error));
      if (error.ee_origin == family_.errorOrigin) return family_.errorStatus(error.ee_type, error.ee_code);
      if (error.ee_origin == SO_EE_ORIGIN_LOCAL) return SendErrorStatus(static_cast<int>(error.ee_errno));
    }
    return 0;
  }

  const Family& family_;
  EchoClocks clocks_;
  int fd_ = -1;
  bool raw_ = false;
  bool borrowed_ = false;
  std::int32_t openStatus_ = 0;
};

class LinuxIcmpHandle final : public IcmpHandle {
 public:
  LinuxIcmpHandle(IcmpSocketKind kind, const LinuxEchoOptions& options) : socket_(kIpv4, kind, options) {}

  std::uint32_t SendEcho(std::uint32_t destination, std::span<const char> request, EchoReply& reply,
                         std::uint32_t timeout_ms) override {
    if (socket_.openStatus() != 0) return FailEcho(reply, socket_.openStatus());
    // 0.0.0.0 is what an unconvertible text gives, and Linux answers it
    // from loopback: never let a host name "answer" that way.
    if (destination == 0) return FailEcho(reply, kIpBadDestination);

    const std::span<const std::uint8_t> data(reinterpret_cast<const std::uint8_t*>(request.data()),
                                             request.size());
    icmp::Expected sent{destination, socket_.raw() ? ProcessId() : std::uint16_t{0}, NextSequence(), data};
    const auto packet = icmp::EchoRequest(sent.id, sent.sequence, data);
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_addr.s_addr = destination;
    const bool raw = socket_.raw();
    auto classify = [&sent, raw](std::span<const std::uint8_t> bytes, const sockaddr_storage& from) {
      return raw ? icmp::ClassifyDatagram(bytes, sent)
                 : icmp::Classify(bytes, reinterpret_cast<const sockaddr_in&>(from).sin_addr.s_addr, sent, true);
    };
    return socket_.Exchange(packet, to, sent, classify, reply, timeout_ms);
  }

 private:
  EchoSocket socket_;
};

class LinuxIcmp6Handle final : public Icmp6Handle {
 public:
  LinuxIcmp6Handle(IcmpSocketKind kind, const LinuxEchoOptions& options) : socket_(kIpv6, kind, options) {}

  std::uint32_t SendEcho(const Address6& destination, std::span<const char> request, EchoReply& reply,
                         std::uint32_t timeout_ms) override {
    if (socket_.openStatus() != 0) return FailEcho(reply, socket_.openStatus());
    const std::span<const std::uint8_t> data(reinterpret_cast<const std::uint8_t*>(request.data()),
                                             request.size());
    icmp6::Expected sent{destination.bytes, socket_.raw() ? ProcessId() : std::uint16_t{0}, NextSequence(), data};
    const auto packet = icmp6::EchoRequest(sent.id, sent.sequence, data);
    sockaddr_in6 to{};
    to.sin6_family = AF_INET6;
    std::copy(destination.bytes.begin(), destination.bytes.end(), to.sin6_addr.s6_addr);
    to.sin6_scope_id = destination.scope;
    auto classify = [&sent](std::span<const std::uint8_t> bytes, const sockaddr_storage& from) {
      icmp6::Bytes16 source{};
      if (from.ss_family == AF_INET6)
        source = std::to_array(reinterpret_cast<const sockaddr_in6&>(from).sin6_addr.s6_addr);
      return icmp6::Classify(bytes, source, sent);
    };
    return socket_.Exchange(packet, to, sent, classify, reply, timeout_ms);
  }

 private:
  EchoSocket socket_;
};

class LinuxIcmpService final : public IcmpService {
 public:
  LinuxIcmpService(IcmpSocketKind kind, LinuxEchoOptions options) : kind_(kind), options_(std::move(options)) {}
  std::unique_ptr<IcmpHandle> Open() override { return std::make_unique<LinuxIcmpHandle>(kind_, options_); }
  std::unique_ptr<Icmp6Handle> Open6() override { return std::make_unique<LinuxIcmp6Handle>(kind_, options_); }

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

bool PingSocketAllowed(int family) {
  const int fd = socket(family, SOCK_DGRAM | SOCK_CLOEXEC, (family == AF_INET6 ? kIpv6 : kIpv4).protocol);
  if (fd < 0) return false;
  close(fd);
  return true;
}

int OpenFilteredRawSocket(int family) { return (family == AF_INET6 ? kIpv6 : kIpv4).openRaw(true, true); }

void LendRawSocket(int fd, int family) { (family == AF_INET6 ? kIpv6 : kIpv4).lent.store(fd); }

std::unique_ptr<IcmpService> MakeLinuxIcmpService(IcmpSocketKind kind, LinuxEchoOptions options) {
  return std::make_unique<LinuxIcmpService>(kind, std::move(options));
}

std::uint64_t ForeignPacketsDiscarded() { return foreignPackets.load(std::memory_order_relaxed); }

std::unique_ptr<IcmpService> MakeSystemIcmpService() { return MakeLinuxIcmpService(IcmpSocketKind::Any); }

}  // namespace tolvane::probe
