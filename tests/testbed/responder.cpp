// tolvane_responder: answers ICMP echo requests for the responder host of the
// test bed (namespace tolv-r, where the kernel's own replies are off), each
// after a delay counted from the kernel's receive timestamp. netem isn't
// available, so delays are scheduled here; run it SCHED_FIFO or replies go
// out late under load.
//
//   10.77.3.2     control host: replies at once
//   10.77.3.12    replies after 12 ms (.15 and .20 likewise)
//   10.77.3.100   scripted host: see "script"
//   10.77.3.66    noisy host: 5 ms after the request, one stray of each kind
//                 (wrong id, wrong seq, wrong payload, bad checksum, the
//                 right reply from 10.77.3.15), the real reply at 15 ms and
//                 a duplicate of it at 16 ms
//   kResponder15Host6, kNoisyHost6: the same over ICMPv6 (no bad-checksum
//                 stray: the kernel computes ICMPv6 checksums itself)
//
// Control channel: UDP 10.77.3.2:7777, one text command per datagram, one
// datagram back.
//   ping                 -> pong
//   script T T ...       -> ok | error <why>. T is a delay in ms or x (drop).
//                           The last token repeats. Resets the position and
//                           the request log.
//   log                  -> log [t ...]  kernel receive times (CLOCK_REALTIME
//                           ns) of the scripted host's requests since the
//                           last script, oldest first; at most kMaxLog.
//   stats                -> stats name=value ...  (responder_stats.h)
//   reset                -> ok  (zeroes the counters)
//   anything else        -> error unknown command
//
// Usage: tolvane_responder [--pidfile PATH] [--lifetime SECONDS]
//        tolvane_responder --control COMMAND   (one command, answer on stdout;
//                                               run it inside tolv-c)
// Exits on SIGTERM/SIGINT, or after the lifetime (default 6 h) so a bed that
// is never taken down doesn't keep it forever.

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/icmp6.h>
#include <netinet/ip_icmp.h>
#include <poll.h>
#include <sched.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/signalfd.h>
#include <sys/socket.h>
#include <sys/timerfd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <optional>
#include <queue>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "testbed/icmp_wire.h"
#include "testbed/reply_script.h"
#include "testbed/responder_stats.h"
#include "testbed/testbed.h"

namespace tolvane::testbed {
namespace {

constexpr std::int64_t kMs = 1'000'000;
constexpr std::size_t kMaxPending = 8192;
constexpr std::size_t kMaxLog = 3000;      // 20 bytes each fits one datagram
constexpr int kMaxBatch = 64;              // packets handled per wake-up

enum class Role { Fixed, Scripted, Noisy };

struct Host {
  in_addr addr{};
  Role role = Role::Fixed;
  int delayMs = 0;
};

enum class SendKind { Reply, WrongId, WrongSeq, WrongPayload, BadChecksum, WrongSource, Duplicate };

struct Host6 {
  in6_addr addr{};
  Role role = Role::Fixed;
  int delayMs = 0;
};

struct Pending {
  std::int64_t dueNs = 0;
  std::uint64_t order = 0;  // keeps sends due at the same time in plan order
  in_addr from{};
  sockaddr_in to{};
  bool v6 = false;
  in6_addr from6{};
  sockaddr_in6 to6{};
  SendKind kind = SendKind::Reply;
  std::vector<std::uint8_t> icmp;

  bool operator>(const Pending& o) const {
    return dueNs != o.dueNs ? dueNs > o.dueNs : order > o.order;
  }
};

std::int64_t NowNs() {
  timespec ts{};
  clock_gettime(CLOCK_REALTIME, &ts);
  return std::int64_t{ts.tv_sec} * 1'000'000'000 + ts.tv_nsec;
}

in_addr Addr(const char* text) {
  in_addr a{};
  inet_pton(AF_INET, text, &a);
  return a;
}

in6_addr Addr6(const char* text) {
  in6_addr a{};
  inet_pton(AF_INET6, text, &a);
  return a;
}

[[noreturn]] void Die(const char* what) {
  std::fprintf(stderr, "tolvane_responder: %s: %s\n", what, std::strerror(errno));
  std::exit(1);
}

class Responder {
 public:
  Responder() {
    hosts_ = {
        {Addr(kControlHost), Role::Fixed, 0},   {Addr(kResponder12), Role::Fixed, 12},
        {Addr(kResponder15), Role::Fixed, 15},  {Addr(kResponder20), Role::Fixed, 20},
        {Addr(kScriptedHost), Role::Scripted, 0}, {Addr(kNoisyHost), Role::Noisy, kNoisyDelayMs},
    };
    hosts6_ = {{Addr6(kResponder15Host6), Role::Fixed, 15}, {Addr6(kNoisyHost6), Role::Noisy, kNoisyDelayMs}};
    log_.reserve(kMaxLog);
  }

  void Open() {
    raw_ = socket(AF_INET, SOCK_RAW | SOCK_NONBLOCK | SOCK_CLOEXEC, IPPROTO_ICMP);
    if (raw_ < 0) Die("raw socket");
    const int on = 1;
    if (setsockopt(raw_, SOL_SOCKET, SO_TIMESTAMPNS, &on, sizeof on) < 0) Die("SO_TIMESTAMPNS");
    // Only echo requests reach us (ICMP_FILTER from linux/icmp.h, which
    // clashes with netinet/ip_icmp.h): a set bit drops that type.
    constexpr int kIcmpFilter = 1;
    const std::uint32_t filter = ~(1u << ICMP_ECHO);
    if (setsockopt(raw_, SOL_RAW, kIcmpFilter, &filter, sizeof filter) < 0) Die("ICMP_FILTER");
    const int buf = 1 << 20;
    setsockopt(raw_, SOL_SOCKET, SO_RCVBUF, &buf, sizeof buf);

    raw6_ = socket(AF_INET6, SOCK_RAW | SOCK_NONBLOCK | SOCK_CLOEXEC, IPPROTO_ICMPV6);
    if (raw6_ < 0) Die("raw ICMPv6 socket");
    if (setsockopt(raw6_, SOL_SOCKET, SO_TIMESTAMPNS, &on, sizeof on) < 0) Die("SO_TIMESTAMPNS (IPv6)");
    // The address asked comes as IPV6_PKTINFO: no IPv6 header is handed over.
    if (setsockopt(raw6_, IPPROTO_IPV6, IPV6_RECVPKTINFO, &on, sizeof on) < 0) Die("IPV6_RECVPKTINFO");
    icmp6_filter filter6{};
    ICMP6_FILTER_SETBLOCKALL(&filter6);
    ICMP6_FILTER_SETPASS(ICMP6_ECHO_REQUEST, &filter6);
    if (setsockopt(raw6_, IPPROTO_ICMPV6, ICMP6_FILTER, &filter6, sizeof filter6) < 0) Die("ICMP6_FILTER");
    setsockopt(raw6_, SOL_SOCKET, SO_RCVBUF, &buf, sizeof buf);

    control_ = socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (control_ < 0) Die("control socket");
    sockaddr_in sa{};
    sa.sin_family = AF_INET;
    sa.sin_port = htons(kControlPort);
    sa.sin_addr = Addr(kControlHost);
    if (bind(control_, reinterpret_cast<sockaddr*>(&sa), sizeof sa) < 0) Die("bind control");

    timer_ = timerfd_create(CLOCK_REALTIME, TFD_NONBLOCK | TFD_CLOEXEC);
    if (timer_ < 0) Die("timerfd");

    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGTERM);
    sigaddset(&set, SIGINT);
    sigprocmask(SIG_BLOCK, &set, nullptr);
    signals_ = signalfd(-1, &set, SFD_NONBLOCK | SFD_CLOEXEC);
    if (signals_ < 0) Die("signalfd");

    stats_.fifo = sched_getscheduler(0) == SCHED_FIFO ? 1 : 0;
  }

  // Runs until a signal or the lifetime ends.
  void Run(std::int64_t lifetimeNs) {
    const std::int64_t endNs = NowNs() + lifetimeNs;
    pollfd fds[5] = {{raw_, POLLIN, 0}, {control_, POLLIN, 0}, {timer_, POLLIN, 0}, {signals_, POLLIN, 0},
                     {raw6_, POLLIN, 0}};
    for (;;) {
      const std::int64_t left = endNs - NowNs();
      if (left <= 0) return;
      const int wait = static_cast<int>(std::min<std::int64_t>(left / kMs + 1, 60'000));
      if (poll(fds, 5, wait) < 0 && errno != EINTR) Die("poll");
      if (fds[3].revents) return;
      if (fds[0].revents) ReadRequests();
      if (fds[4].revents) ReadRequests6();
      if (fds[1].revents) ReadControl();
      if (fds[2].revents) {
        std::uint64_t expirations = 0;
        (void)!read(timer_, &expirations, sizeof expirations);
      }
      SendDue();
      ArmTimer();
    }
  }

 private:
  const Host* Find(in_addr dst) const {
    for (const Host& h : hosts_)
      if (h.addr.s_addr == dst.s_addr) return &h;
    return nullptr;
  }

  void ReadRequests() {
    std::uint8_t buf[65536];
    alignas(cmsghdr) char control[256];
    for (int n = 0; n < kMaxBatch; ++n) {
      sockaddr_in peer{};
      iovec iov{buf, sizeof buf};
      msghdr msg{};
      msg.msg_name = &peer;
      msg.msg_namelen = sizeof peer;
      msg.msg_iov = &iov;
      msg.msg_iovlen = 1;
      msg.msg_control = control;
      msg.msg_controllen = sizeof control;
      const ssize_t len = recvmsg(raw_, &msg, 0);
      if (len < 0) return;  // EAGAIN: drained
      std::int64_t rxNs = 0;
      for (cmsghdr* c = CMSG_FIRSTHDR(&msg); c; c = CMSG_NXTHDR(&msg, c)) {
        if (c->cmsg_level == SOL_SOCKET && c->cmsg_type == SCM_TIMESTAMPNS) {
          timespec ts{};
          std::memcpy(&ts, CMSG_DATA(c), sizeof ts);
          rxNs = std::int64_t{ts.tv_sec} * 1'000'000'000 + ts.tv_nsec;
        }
      }
      if (rxNs == 0) rxNs = NowNs();
      Handle(std::span<const std::uint8_t>(buf, static_cast<std::size_t>(len)), rxNs);
    }
  }

  void Handle(std::span<const std::uint8_t> datagram, std::int64_t rxNs) {
    const auto ip = ParseIpv4(datagram);
    if (!ip || ip->protocol != IPPROTO_ICMP) return;
    const Host* host = Find(ip->dst);
    if (!host) return;
    const auto req = ParseEcho(ip->payload);
    if (!req || req->type != kEchoRequest || req->code != 0 || !ChecksumValid(ip->payload)) return;
    ++stats_.requests;
    if (queue_.size() + 8 > kMaxPending) {
      ++stats_.overflow;
      return;
    }
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_addr = ip->src;
    Echo reply = *req;
    reply.type = kEchoReply;

    switch (host->role) {
      case Role::Fixed:
        Plan(rxNs + host->delayMs * kMs, host->addr, to, SendKind::Reply, BuildEcho(reply));
        break;
      case Role::Scripted: {
        ++stats_.scripted;
        if (log_.size() < kMaxLog) log_.push_back(rxNs);
        const std::optional<int> delay = script_.Next();
        if (!delay) {
          ++stats_.dropped;
          break;
        }
        Plan(rxNs + *delay * kMs, host->addr, to, SendKind::Reply, BuildEcho(reply));
        break;
      }
      case Role::Noisy:
        ++stats_.noisy;
        PlanNoise(rxNs, host->addr, to, reply);
        break;
    }
  }

  void ReadRequests6() {
    std::uint8_t buf[65536];
    alignas(cmsghdr) char control[512];
    for (int n = 0; n < kMaxBatch; ++n) {
      sockaddr_in6 peer{};
      iovec iov{buf, sizeof buf};
      msghdr msg{};
      msg.msg_name = &peer;
      msg.msg_namelen = sizeof peer;
      msg.msg_iov = &iov;
      msg.msg_iovlen = 1;
      msg.msg_control = control;
      msg.msg_controllen = sizeof control;
      const ssize_t len = recvmsg(raw6_, &msg, 0);
      if (len < 0) return;  // EAGAIN: drained
      std::int64_t rxNs = 0;
      std::optional<in6_addr> dst;
      for (cmsghdr* c = CMSG_FIRSTHDR(&msg); c; c = CMSG_NXTHDR(&msg, c)) {
        if (c->cmsg_level == SOL_SOCKET && c->cmsg_type == SCM_TIMESTAMPNS) {
          timespec ts{};
          std::memcpy(&ts, CMSG_DATA(c), sizeof ts);
          rxNs = std::int64_t{ts.tv_sec} * 1'000'000'000 + ts.tv_nsec;
        } else if (c->cmsg_level == IPPROTO_IPV6 && c->cmsg_type == IPV6_PKTINFO) {
          in6_pktinfo info{};
          std::memcpy(&info, CMSG_DATA(c), sizeof info);
          dst = info.ipi6_addr;
        }
      }
      if (rxNs == 0) rxNs = NowNs();
      if (dst) Handle6(std::span<const std::uint8_t>(buf, static_cast<std::size_t>(len)), peer, *dst, rxNs);
    }
  }

  // The kernel has checked the checksum of everything a raw ICMPv6 socket
  // receives, and computes it for everything it sends.
  void Handle6(std::span<const std::uint8_t> icmp, const sockaddr_in6& peer, const in6_addr& dst, std::int64_t rxNs) {
    const Host6* host = nullptr;
    for (const Host6& h : hosts6_)
      if (std::memcmp(&h.addr, &dst, sizeof dst) == 0) host = &h;
    if (!host) return;
    const auto req = ParseEcho(icmp);
    if (!req || req->type != ICMP6_ECHO_REQUEST || req->code != 0) return;
    ++stats_.requests;
    if (queue_.size() + 8 > kMaxPending) {
      ++stats_.overflow;
      return;
    }
    Echo reply = *req;
    reply.type = ICMP6_ECHO_REPLY;
    auto plan = [&](std::int64_t due, const in6_addr& from, SendKind kind, std::vector<std::uint8_t> bytes) {
      Pending p{due, order_++, {}, {}, true, from, peer, kind, std::move(bytes)};
      queue_.push(std::move(p));
    };
    if (host->role == Role::Fixed) {
      plan(rxNs + host->delayMs * kMs, host->addr, SendKind::Reply, BuildEcho(reply));
      return;
    }
    ++stats_.noisy;
    const std::int64_t strayAt = rxNs + kNoisyStrayDelayMs * kMs;
    Echo e = reply;
    e.id = static_cast<std::uint16_t>(reply.id ^ 0x8000);
    plan(strayAt, host->addr, SendKind::WrongId, BuildEcho(e));
    e = reply;
    e.seq = static_cast<std::uint16_t>(reply.seq ^ 0x8000);
    plan(strayAt, host->addr, SendKind::WrongSeq, BuildEcho(e));
    e = reply;
    for (auto& b : e.payload) b = static_cast<std::uint8_t>(~b);
    if (e.payload.empty()) e.payload.push_back(0x5a);
    plan(strayAt, host->addr, SendKind::WrongPayload, BuildEcho(e));
    plan(strayAt, Addr6(kResponder15Host6), SendKind::WrongSource, BuildEcho(reply));
    plan(rxNs + kNoisyDelayMs * kMs, host->addr, SendKind::Reply, BuildEcho(reply));
    plan(rxNs + (kNoisyDelayMs + 1) * kMs, host->addr, SendKind::Duplicate, BuildEcho(reply));
  }

  void PlanNoise(std::int64_t rxNs, in_addr self, const sockaddr_in& to, const Echo& reply) {
    const std::int64_t strayAt = rxNs + kNoisyStrayDelayMs * kMs;
    const std::int64_t realAt = rxNs + kNoisyDelayMs * kMs;

    Echo e = reply;
    e.id = static_cast<std::uint16_t>(reply.id ^ 0x8000);
    Plan(strayAt, self, to, SendKind::WrongId, BuildEcho(e));

    e = reply;
    e.seq = static_cast<std::uint16_t>(reply.seq ^ 0x8000);
    Plan(strayAt, self, to, SendKind::WrongSeq, BuildEcho(e));

    e = reply;
    for (auto& b : e.payload) b = static_cast<std::uint8_t>(~b);
    if (e.payload.empty()) e.payload.push_back(0x5a);
    Plan(strayAt, self, to, SendKind::WrongPayload, BuildEcho(e));

    std::vector<std::uint8_t> bad = BuildEcho(reply);
    bad[2] ^= 0x01;  // never turns a checksum into its other zero (0x0000 vs 0xffff)
    bad[3] ^= 0x01;
    Plan(strayAt, self, to, SendKind::BadChecksum, std::move(bad));

    Plan(strayAt, Addr(kResponder15), to, SendKind::WrongSource, BuildEcho(reply));

    Plan(realAt, self, to, SendKind::Reply, BuildEcho(reply));
    Plan(realAt + kMs, self, to, SendKind::Duplicate, BuildEcho(reply));
  }

  void Plan(std::int64_t dueNs, in_addr from, const sockaddr_in& to, SendKind kind,
            std::vector<std::uint8_t> icmp) {
    queue_.push(Pending{dueNs, order_++, from, to, false, {}, {}, kind, std::move(icmp)});
  }

  void SendDue() {
    for (std::size_t n = 0; n < kMaxPending && !queue_.empty(); ++n) {
      const std::int64_t now = NowNs();
      if (queue_.top().dueNs > now) return;
      const Pending& p = queue_.top();
      Send(p);
      const std::int64_t late = NowNs() - p.dueNs;
      ++stats_.late_count;
      stats_.late_sum_ns += late;
      stats_.late_max_ns = std::max(stats_.late_max_ns, late);
      queue_.pop();
    }
  }

  // The source address goes in IP_PKTINFO: the reply comes from the address
  // that was asked (or, for the wrong-source stray, from another one).
  void Send(const Pending& p) {
    if (p.v6 ? !Send6(p) : !Send4(p)) {
      ++stats_.send_errors;
      return;
    }
    switch (p.kind) {
      case SendKind::Reply: ++stats_.replies; break;
      case SendKind::WrongId: ++stats_.wrong_id; break;
      case SendKind::WrongSeq: ++stats_.wrong_seq; break;
      case SendKind::WrongPayload: ++stats_.wrong_payload; break;
      case SendKind::BadChecksum: ++stats_.bad_checksum; break;
      case SendKind::WrongSource: ++stats_.wrong_source; break;
      case SendKind::Duplicate: ++stats_.duplicate; break;
    }
  }

  bool Send6(const Pending& p) {
    alignas(cmsghdr) char control[CMSG_SPACE(sizeof(in6_pktinfo))] = {};
    iovec iov{const_cast<std::uint8_t*>(p.icmp.data()), p.icmp.size()};
    msghdr msg{};
    msg.msg_name = const_cast<sockaddr_in6*>(&p.to6);
    msg.msg_namelen = sizeof p.to6;
    msg.msg_iov = &iov;
    msg.msg_iovlen = 1;
    msg.msg_control = control;
    msg.msg_controllen = sizeof control;
    cmsghdr* c = CMSG_FIRSTHDR(&msg);
    c->cmsg_level = IPPROTO_IPV6;
    c->cmsg_type = IPV6_PKTINFO;
    c->cmsg_len = CMSG_LEN(sizeof(in6_pktinfo));
    in6_pktinfo info{};
    info.ipi6_addr = p.from6;
    std::memcpy(CMSG_DATA(c), &info, sizeof info);
    return sendmsg(raw6_, &msg, 0) >= 0;
  }

  bool Send4(const Pending& p) {
    alignas(cmsghdr) char control[CMSG_SPACE(sizeof(in_pktinfo))] = {};
    iovec iov{const_cast<std::uint8_t*>(p.icmp.data()), p.icmp.size()};
    msghdr msg{};
    msg.msg_name = const_cast<sockaddr_in*>(&p.to);
    msg.msg_namelen = sizeof p.to;
    msg.msg_iov = &iov;
    msg.msg_iovlen = 1;
    msg.msg_control = control;
    msg.msg_controllen = sizeof control;
    cmsghdr* c = CMSG_FIRSTHDR(&msg);
    c->cmsg_level = IPPROTO_IP;
    c->cmsg_type = IP_PKTINFO;
    c->cmsg_len = CMSG_LEN(sizeof(in_pktinfo));
    in_pktinfo info{};
    info.ipi_spec_dst = p.from;
    std::memcpy(CMSG_DATA(c), &info, sizeof info);
    return sendmsg(raw_, &msg, 0) >= 0;
  }

  void ArmTimer() {
    itimerspec when{};
    if (!queue_.empty()) {
      const std::int64_t due = queue_.top().dueNs;
      when.it_value.tv_sec = due / 1'000'000'000;
      when.it_value.tv_nsec = due % 1'000'000'000;
      if (when.it_value.tv_sec == 0 && when.it_value.tv_nsec == 0) when.it_value.tv_nsec = 1;
    }
    timerfd_settime(timer_, TFD_TIMER_ABSTIME, &when, nullptr);
  }

  void ReadControl() {
    char buf[2048];
    for (int n = 0; n < kMaxBatch; ++n) {
      sockaddr_in peer{};
      socklen_t peerLen = sizeof peer;
      const ssize_t len = recvfrom(control_, buf, sizeof buf - 1, 0, reinterpret_cast<sockaddr*>(&peer), &peerLen);
      if (len < 0) return;
      std::string_view text(buf, static_cast<std::size_t>(len));
      while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ')) text.remove_suffix(1);
      const std::string answer = Command(text);
      sendto(control_, answer.data(), answer.size(), 0, reinterpret_cast<sockaddr*>(&peer), peerLen);
    }
  }

  std::string Command(std::string_view text) {
    const std::size_t space = text.find(' ');
    const std::string_view verb = text.substr(0, space);
    const std::string_view rest = space == std::string_view::npos ? std::string_view{} : text.substr(space + 1);
    if (verb == "ping" && rest.empty()) return "pong";
    if (verb == "script") {
      std::string why;
      auto parsed = ReplyScript::Parse(rest, &why);
      if (!parsed) return "error " + why;
      script_ = std::move(*parsed);
      log_.clear();
      return "ok";
    }
    if (verb == "log" && rest.empty()) {
      std::string out = "log";
      for (std::int64_t t : log_) out += ' ' + std::to_string(t);
      return out;
    }
    if (verb == "stats" && rest.empty()) return "stats " + FormatStats(stats_);
    if (verb == "reset" && rest.empty()) {
      const std::int64_t fifo = stats_.fifo;
      stats_ = ResponderStats{};
      stats_.fifo = fifo;
      return "ok";
    }
    return "error unknown command";
  }

  std::vector<Host> hosts_;
  std::vector<Host6> hosts6_;
  ReplyScript script_;
  std::vector<std::int64_t> log_;
  std::priority_queue<Pending, std::vector<Pending>, std::greater<>> queue_;
  std::uint64_t order_ = 0;
  ResponderStats stats_;
  int raw_ = -1;
  int raw6_ = -1;
  int control_ = -1;
  int timer_ = -1;
  int signals_ = -1;
};

}  // namespace
}  // namespace tolvane::testbed

int main(int argc, char** argv) {
  const char* pidfile = nullptr;
  long lifetimeS = 6 * 3600;
  for (int i = 1; i < argc; ++i) {
    const std::string_view a = argv[i];
    if (a == "--pidfile" && i + 1 < argc) {
      pidfile = argv[++i];
    } else if (a == "--control" && i + 1 < argc) {
      try {
        std::printf("%s\n", tolvane::testbed::Control(argv[i + 1]).c_str());
        return 0;
      } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
      }
    } else if (a == "--lifetime" && i + 1 < argc) {
      lifetimeS = std::strtol(argv[++i], nullptr, 10);
    } else {
      std::fprintf(stderr, "usage: tolvane_responder [--pidfile PATH] [--lifetime SECONDS] | --control COMMAND\n");
      return 2;
    }
  }
  // Page faults in the send path would show up as late replies.
  mlockall(MCL_CURRENT | MCL_FUTURE);

  tolvane::testbed::Responder responder;
  responder.Open();
  if (pidfile) {
    // Written once the sockets are bound: its existence means "ready".
    const std::string tmp = std::string(pidfile) + ".tmp";
    std::ofstream(tmp) << getpid() << '\n';
    if (std::rename(tmp.c_str(), pidfile) != 0) tolvane::testbed::Die("pidfile");
  }
  responder.Run(std::int64_t{lifetimeS} * 1'000'000'000);
  if (pidfile) std::remove(pidfile);
  return 0;
}
