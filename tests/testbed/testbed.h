// The network test bed as tests see it: the hosts that testbed.sh builds in
// network namespaces, and the control channel of the responder that plays
// most of them. Tests run inside the client namespace (tolvane_add_net_test
// in CMake does that) and skip when the bed isn't there; see
// testbed_gtest.h / testbed_qtest.h.
//
// Hosts, as seen from the client namespace tolv-c:
//   kernel host      the kernel answers echoes
//   silent host      answers nothing
//   responder hosts  answer after 12, 15 or 20 ms, counted from the arrival
//                    of the request at the host (so a round trip is never
//                    shorter, and a little longer)
//   scripted host    answers as ScriptReplies says
//   noisy host       answers after 15 ms; 5 ms after each request it sends
//                    five strays (wrong id, wrong seq, wrong payload, bad
//                    checksum, right packet from kResponder15), and 1 ms
//                    after the real reply a duplicate of it
//   unreachable      the router answers destination unreachable, host (3/1)
//   net unreachable  the router answers destination unreachable, net (3/0)
//   loop host        routed in a loop: time exceeded (11/0) comes back from
//                    kLoopRouter for an even starting TTL (64, the usual)
//                    and from kRouterHost for an odd one
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "testbed/responder_stats.h"

namespace tolvane::testbed {

inline constexpr char kClientNamespace[] = "tolv-c";

inline constexpr char kKernelHost[] = "10.77.1.2";
inline constexpr char kSilentHost[] = "10.77.2.2";
inline constexpr char kControlHost[] = "10.77.3.2";
inline constexpr char kResponder12[] = "10.77.3.12";
inline constexpr char kResponder15[] = "10.77.3.15";
inline constexpr char kResponder20[] = "10.77.3.20";
inline constexpr char kScriptedHost[] = "10.77.3.100";
inline constexpr char kNoisyHost[] = "10.77.3.66";
inline constexpr char kRouterHost[] = "10.77.4.2";
inline constexpr char kUnreachableHost[] = "10.77.5.9";
inline constexpr char kNetUnreachableHost[] = "10.77.6.9";
inline constexpr char kLoopHost[] = "10.77.7.9";
inline constexpr char kLoopRouter[] = "10.77.8.2";

// The same hosts over IPv6, from the bed's unique-local prefix: the kernel
// host, the silent host, the 15 ms and the noisy responder (strays as
// above, but for the bad checksum, which the kernel fills in for ICMPv6),
// and the router's errors: no route (1/0), administratively prohibited
// (1/1), hop limit exceeded in a loop (3/0).
inline constexpr char kKernelHost6[] = "fd4c:7f1e:a7b0:1::2";
inline constexpr char kSilentHost6[] = "fd4c:7f1e:a7b0:2::2";
inline constexpr char kResponder15Host6[] = "fd4c:7f1e:a7b0:3::15";
inline constexpr char kNoisyHost6[] = "fd4c:7f1e:a7b0:3::66";
inline constexpr char kNoRouteHost6[] = "fd4c:7f1e:a7b0:5::9";
inline constexpr char kProhibitedHost6[] = "fd4c:7f1e:a7b0:6::9";
inline constexpr char kLoopHost6[] = "fd4c:7f1e:a7b0:7::9";

inline constexpr int kControlPort = 7777;
inline constexpr int kNoisyDelayMs = 15;
inline constexpr int kNoisyStrayDelayMs = 5;

// Names in the client namespace's hosts file. kMultiName has two addresses,
// kKernelHost listed first, then kResponder15; getaddrinfo(AF_INET) returns
// them in that order. kUnknownName is in no file and fails at once with
// EAI_AGAIN (the namespace's resolver points at 127.0.0.1, where nothing
// listens, so the query is refused rather than left to time out).
inline constexpr char kKernelName[] = "kernel.tolvane.test";
inline constexpr char kSilentName[] = "silent.tolvane.test";
inline constexpr char kResponder15Name[] = "r15.tolvane.test";
inline constexpr char kScriptedName[] = "scripted.tolvane.test";
inline constexpr char kNoisyName[] = "noisy.tolvane.test";
inline constexpr char kUnreachableName[] = "unreachable.tolvane.test";
inline constexpr char kMultiName[] = "multi.tolvane.test";
inline constexpr char kUnknownName[] = "nosuch.tolvane.test";
// Names with IPv6 addresses: kV6OnlyName has only kResponder15Host6;
// kMulti6Name has kKernelHost6, then kResponder15Host6; kDualName has
// kSilentHost and kKernelHost6.
inline constexpr char kV6OnlyName[] = "v6only.tolvane.test";
inline constexpr char kMulti6Name[] = "multi6.tolvane.test";
inline constexpr char kDualName[] = "dual.tolvane.test";
// A name beyond ASCII, "münchen.tolvane.test" in UTF-8: the hosts file holds
// its ASCII-compatible form, xn--mnchen-3ya.tolvane.test, for kResponder15.
inline constexpr char kIdnName[] = "m\xC3\xBCnchen.tolvane.test";

// True when tests can use the bed: root, inside tolv-c, responder answering.
// Otherwise false with the reason in *why. Checked once per process.
bool Available(std::string* why);

// CI=true in the environment: a missing bed is a failure, not a skip.
bool Required();

// One command to the responder's control channel and its answer (throws
// std::runtime_error when it doesn't answer).
std::string Control(const std::string& command);

// Sets the scripted host's replies: delays in ms, negative = drop. The last
// entry repeats. Resets the position and the request log.
void ScriptReplies(const std::vector<int>& delaysMs);

// Kernel receive times (CLOCK_REALTIME, ns) of the requests that reached the
// scripted host since the last ScriptReplies, oldest first.
std::vector<std::int64_t> RequestTimesNs();

ResponderStats Stats();
void ResetStats();

// A name server at 127.0.0.1:53, where the client namespace's resolver
// asks: it reads every question and answers none, so a lookup that reaches
// it waits for the resolver's time-out (1 s and no second try, in the bed)
// instead of being refused at once.
class SilentNameServer {
 public:
  SilentNameServer();
  ~SilentNameServer();
  SilentNameServer(const SilentNameServer&) = delete;
  SilentNameServer& operator=(const SilentNameServer&) = delete;
  // Whether it could take the port.
  bool listening() const;
  // The questions for `name` that came since the last call, counted by type
  // (1 is A, 28 AAAA). Other programs in the namespace may ask too.
  std::map<int, int> Questions(const std::string& name);

 private:
  std::intptr_t socket_ = -1;
};

}  // namespace tolvane::testbed
