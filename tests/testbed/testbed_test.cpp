// The test bed itself, checked with raw sockets and the resolver: each host
// does what the engine's and the window's tests will count on.

#include <arpa/inet.h>
#include <netdb.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "testbed/icmp_wire.h"
#include "testbed/raw_icmp.h"
#include "testbed/testbed_gtest.h"

namespace tolvane::testbed {
namespace {

constexpr std::int64_t kMs = 1'000'000;

// Odd length on purpose: the checksum's padding case.
const std::vector<std::uint8_t> kPayload = {'E', 'c', 'h', 'o', ' ', 'T', 'h', 'i', 's'};

std::uint16_t NextId() {
  static std::uint16_t id = static_cast<std::uint16_t>((getpid() & 0x3fff) | 0x4000);
  return ++id;
}

std::string Text(in_addr a) {
  char buf[INET_ADDRSTRLEN] = {};
  inet_ntop(AF_INET, &a, buf, sizeof buf);
  return buf;
}

bool IsReplyTo(const IcmpPacket& p, const char* from, std::uint16_t id, std::uint16_t seq) {
  const auto e = ParseEcho(p.icmp);
  return Text(p.src) == from && e && e->type == kEchoReply && e->code == 0 && e->id == id &&
         e->seq == seq && e->payload == kPayload && ChecksumValid(p.icmp);
}

// The correct reply to (id, seq) from `from`, skipping everything else that
// arrives meanwhile.
std::optional<IcmpPacket> AwaitReply(RawIcmp& s, const char* from, std::uint16_t id, std::uint16_t seq,
                                     int timeoutMs) {
  const std::int64_t deadline = RealtimeNs() + timeoutMs * kMs;
  for (int i = 0; i < 1000; ++i) {
    const std::int64_t left = (deadline - RealtimeNs()) / kMs;
    if (left <= 0) break;
    auto p = s.Receive(static_cast<int>(left));
    if (!p) break;
    if (IsReplyTo(*p, from, id, seq)) return p;
  }
  return std::nullopt;
}

// Round trip in ms of one echo to `host`, or nullopt.
std::optional<double> RoundTripMs(RawIcmp& s, const char* host, int timeoutMs) {
  const std::uint16_t id = NextId();
  const std::int64_t sent = s.SendEcho(host, id, 1, kPayload);
  const auto reply = AwaitReply(s, host, id, 1, timeoutMs);
  if (!reply) return std::nullopt;
  return static_cast<double>(reply->rxNs - sent) / kMs;
}

TEST(Hosts, KernelHostEchoesIdSeqAndOddPayload) {
  TOLVANE_REQUIRE_TESTBED();
  RawIcmp s;
  const std::uint16_t id = NextId();
  s.SendEcho(kKernelHost, id, 7, kPayload);
  EXPECT_TRUE(AwaitReply(s, kKernelHost, id, 7, 1000)) << "no correct reply from " << kKernelHost;
}

TEST(Hosts, SilentHostSendsNothingWithinASecond) {
  TOLVANE_REQUIRE_TESTBED();
  RawIcmp s;
  s.SendEcho(kSilentHost, NextId(), 1, kPayload);
  const std::int64_t deadline = RealtimeNs() + 1000 * kMs;
  for (int i = 0; i < 1000 && RealtimeNs() < deadline; ++i) {
    const auto p = s.Receive(static_cast<int>((deadline - RealtimeNs()) / kMs) + 1);
    if (!p) break;
    EXPECT_NE(Text(p->src), kSilentHost) << "the silent host sent ICMP type " << int(p->icmp[0]);
  }
}

// Never earlier than the delay: the delay counts from the request's arrival
// at the host, which is after our send. How much later is a figure, printed;
// the median only has to stay near the delay.
TEST(Hosts, DelayedHostsNeverAnswerEarly) {
  TOLVANE_REQUIRE_TESTBED();
  RawIcmp s;
  struct Case {
    const char* host;
    int delayMs;
  };
  double previousMedian = 0;
  for (const Case& c : {Case{kResponder12, 12}, Case{kResponder15, 15}, Case{kResponder20, 20}}) {
    std::vector<double> rtts;
    for (int i = 0; i < 10; ++i) {
      const auto rtt = RoundTripMs(s, c.host, 1000);
      ASSERT_TRUE(rtt) << c.host << " did not answer (probe " << i << ")";
      EXPECT_GE(*rtt, c.delayMs) << c.host << " answered early";
      rtts.push_back(*rtt);
    }
    std::sort(rtts.begin(), rtts.end());
    const double median = rtts[rtts.size() / 2];
    std::printf("%s: min %.3f  median %.3f  max %.3f ms\n", c.host, rtts.front(), median, rtts.back());
    EXPECT_LT(median, c.delayMs + 5) << c.host;
    EXPECT_GT(median, previousMedian);
    previousMedian = median;
  }
}

TEST(Scripted, FollowsScriptWithDropAndRepeatsLastToken) {
  TOLVANE_REQUIRE_TESTBED();
  RawIcmp s;
  const ResponderStats before = Stats();
  ScriptReplies({12, -1, 30, 5});
  EXPECT_TRUE(RequestTimesNs().empty()) << "a new script clears the log";

  const std::vector<int> expected = {12, -1, 30, 5, 5};
  std::vector<std::int64_t> sent;
  std::vector<std::optional<IcmpPacket>> replies;
  for (std::size_t i = 0; i < expected.size(); ++i) {
    const std::uint16_t id = NextId();
    sent.push_back(s.SendEcho(kScriptedHost, id, static_cast<std::uint16_t>(i), kPayload));
    replies.push_back(AwaitReply(s, kScriptedHost, id, static_cast<std::uint16_t>(i), expected[i] < 0 ? 300 : 1000));
  }
  const std::vector<std::int64_t> log = RequestTimesNs();
  ASSERT_EQ(log.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    EXPECT_GE(log[i], sent[i]) << "request " << i << " logged before it was sent";
    if (expected[i] < 0) {
      EXPECT_FALSE(replies[i]) << "request " << i << " should have been dropped";
      continue;
    }
    ASSERT_TRUE(replies[i]) << "request " << i << " got no reply";
    // The delay counts from the logged arrival time.
    EXPECT_GE(replies[i]->rxNs - log[i], expected[i] * kMs) << "request " << i;
    EXPECT_LT(replies[i]->rxNs - log[i], (expected[i] + 100) * kMs) << "request " << i;
  }

  const ResponderStats after = Stats();
  EXPECT_EQ(after.scripted - before.scripted, 5);
  EXPECT_EQ(after.dropped - before.dropped, 1);

  // A new script starts over and forgets the old log.
  ScriptReplies({-1});
  EXPECT_TRUE(RequestTimesNs().empty());
  const std::uint16_t id = NextId();
  s.SendEcho(kScriptedHost, id, 1, kPayload);
  EXPECT_FALSE(AwaitReply(s, kScriptedHost, id, 1, 200));
  EXPECT_EQ(RequestTimesNs().size(), 1u);
  ScriptReplies({0});
}

TEST(Scripted, ControlChannelRejectsBadCommands) {
  TOLVANE_REQUIRE_TESTBED();
  EXPECT_EQ(Control("ping"), "pong");
  EXPECT_EQ(Control("script 5 zz").rfind("error", 0), 0u);
  EXPECT_EQ(Control("script").rfind("error", 0), 0u);
  EXPECT_EQ(Control("script -3").rfind("error", 0), 0u);
  EXPECT_EQ(Control("frobnicate").rfind("error", 0), 0u);
  EXPECT_EQ(Control("script 3 x"), "ok");
}

// One request to the noisy host: each stray once, before the real reply,
// then one duplicate; the counters say the same.
TEST(Noisy, SendsEachStrayOnceAndADuplicate) {
  TOLVANE_REQUIRE_TESTBED();
  RawIcmp s;
  const ResponderStats before = Stats();
  const std::uint16_t id = NextId();
  const std::uint16_t seq = 42;
  const std::int64_t sent = s.SendEcho(kNoisyHost, id, seq, kPayload);

  int good = 0, wrongId = 0, wrongSeq = 0, wrongPayload = 0, badChecksum = 0, wrongSource = 0;
  std::int64_t firstGoodNs = 0;
  std::int64_t lastStrayNs = 0;
  const std::int64_t deadline = sent + 300 * kMs;
  for (int i = 0; i < 100 && RealtimeNs() < deadline; ++i) {
    const auto p = s.Receive(static_cast<int>((deadline - RealtimeNs()) / kMs) + 1);
    if (!p) break;
    const auto e = ParseEcho(p->icmp);
    if (!e || e->type != kEchoReply) continue;
    const std::string src = Text(p->src);
    if (src != kNoisyHost && src != kResponder15) continue;
    bool stray = true;
    if (src == kResponder15) {
      ++wrongSource;
      EXPECT_TRUE(e->id == id && e->seq == seq && e->payload == kPayload && ChecksumValid(p->icmp));
    } else if (!ChecksumValid(p->icmp)) {
      ++badChecksum;
    } else if (e->id != id) {
      ++wrongId;
    } else if (e->seq != seq) {
      ++wrongSeq;
    } else if (e->payload != kPayload) {
      ++wrongPayload;
    } else {
      stray = false;
      if (++good == 1) firstGoodNs = p->rxNs;
    }
    if (stray) lastStrayNs = std::max(lastStrayNs, p->rxNs);
  }
  EXPECT_EQ(good, 2) << "the reply and its duplicate";
  EXPECT_EQ(wrongId, 1);
  EXPECT_EQ(wrongSeq, 1);
  EXPECT_EQ(wrongPayload, 1);
  EXPECT_EQ(badChecksum, 1);
  EXPECT_EQ(wrongSource, 1);
  EXPECT_LT(lastStrayNs, firstGoodNs) << "strays come before the real reply";
  EXPECT_GE(firstGoodNs - sent, kNoisyDelayMs * kMs);

  const ResponderStats after = Stats();
  EXPECT_EQ(after.noisy - before.noisy, 1);
  EXPECT_EQ(after.replies - before.replies, 1);
  EXPECT_EQ(after.duplicate - before.duplicate, 1);
  EXPECT_EQ(after.wrong_id - before.wrong_id, 1);
  EXPECT_EQ(after.wrong_seq - before.wrong_seq, 1);
  EXPECT_EQ(after.wrong_payload - before.wrong_payload, 1);
  EXPECT_EQ(after.bad_checksum - before.bad_checksum, 1);
  EXPECT_EQ(after.wrong_source - before.wrong_source, 1);
  EXPECT_EQ(after.send_errors, before.send_errors);
}

// ICMP errors from the router: right type and code, from the right address,
// quoting our request.
TEST(Router, ErrorsComeBackQuotingTheRequest) {
  TOLVANE_REQUIRE_TESTBED();
  RawIcmp s;
  struct Case {
    const char* target;
    std::uint8_t type;
    std::uint8_t code;
    const char* from;
  };
  for (const Case& c : {Case{kUnreachableHost, kDestUnreachable, 1, kRouterHost},
                        Case{kNetUnreachableHost, kDestUnreachable, 0, kRouterHost},
                        Case{kLoopHost, kTimeExceeded, 0, kLoopRouter}}) {
    const std::uint16_t id = NextId();
    s.SendEcho(c.target, id, 3, kPayload);
    std::optional<IcmpPacket> error;
    const std::int64_t deadline = RealtimeNs() + 1000 * kMs;
    for (int i = 0; i < 100 && !error && RealtimeNs() < deadline; ++i) {
      auto p = s.Receive(static_cast<int>((deadline - RealtimeNs()) / kMs) + 1);
      if (!p) break;
      if (p->icmp.size() < 8 + 20 + 8 || p->icmp[0] == kEchoReply) continue;
      const auto inner = ParseIpv4(std::span(p->icmp).subspan(8));
      if (!inner || Text(inner->dst) != c.target) continue;
      const auto quoted = ParseEcho(inner->payload.first(std::min<std::size_t>(8, inner->payload.size())));
      if (quoted && quoted->id == id && quoted->seq == 3) error = std::move(p);
    }
    ASSERT_TRUE(error) << "no ICMP error quoting our echo to " << c.target;
    EXPECT_EQ(error->icmp[0], c.type) << c.target;
    EXPECT_EQ(error->icmp[1], c.code) << c.target;
    EXPECT_EQ(Text(error->src), c.from) << c.target;
    EXPECT_TRUE(ChecksumValid(error->icmp));
  }
}

std::vector<std::string> Resolve(const char* name, int* rc) {
  addrinfo hints{};
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_DGRAM;
  addrinfo* res = nullptr;
  *rc = getaddrinfo(name, nullptr, &hints, &res);
  std::vector<std::string> out;
  for (addrinfo* a = res; a; a = a->ai_next)
    out.push_back(Text(reinterpret_cast<sockaddr_in*>(a->ai_addr)->sin_addr));
  if (res) freeaddrinfo(res);
  return out;
}

TEST(Names, HostsFileInsideClientNamespace) {
  TOLVANE_REQUIRE_TESTBED();
  int rc = 0;
  EXPECT_EQ(Resolve(kKernelName, &rc), std::vector<std::string>{kKernelHost});
  EXPECT_EQ(Resolve(kSilentName, &rc), std::vector<std::string>{kSilentHost});
  EXPECT_EQ(Resolve(kResponder15Name, &rc), std::vector<std::string>{kResponder15});
  EXPECT_EQ(Resolve(kMultiName, &rc), (std::vector<std::string>{kKernelHost, kResponder15}));

  const auto start = std::chrono::steady_clock::now();
  EXPECT_TRUE(Resolve(kUnknownName, &rc).empty());
  const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  EXPECT_NE(rc, 0);
  std::printf("unknown name: %s after %.3f ms\n", gai_strerror(rc), ms);
  EXPECT_LT(ms, 1000) << "an unknown name must fail fast, not wait for a resolver";
}

}  // namespace
}  // namespace tolvane::testbed
