// A Checker on the real Linux echo service, once per kind of ICMP socket, for
// the tests that run against the network test bed.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <string>

#include "probe/echo_linux.h"
#include "probe/probe.h"
#include "support/fakes.h"
#include "testbed/testbed_gtest.h"

namespace tolvane::probe {

inline std::string SocketKindName(IcmpSocketKind kind) {
  return kind == IcmpSocketKind::Raw ? "Raw" : "Datagram";
}

inline void PrintTo(IcmpSocketKind kind, std::ostream* out) { *out << SocketKindName(kind); }

class CheckerOnSocket : public ::testing::TestWithParam<IcmpSocketKind> {
 protected:
  void SetUp() override { TOLVANE_REQUIRE_TESTBED(); }

  std::unique_ptr<SocketLibrary> sockets = MakeSystemSocketLibrary();
  std::unique_ptr<IcmpService> icmp = MakeLinuxIcmpService(GetParam());
  testing::RecordingSink sink;
  Platform platform{*sockets, *icmp, sink};
  Checker checker{platform};
};

// Runs a suite derived from CheckerOnSocket on both sockets.
#define TOLVANE_ON_BOTH_SOCKETS(Suite)                                                            \
  INSTANTIATE_TEST_SUITE_P(Sockets, Suite,                                                        \
                           ::testing::Values(IcmpSocketKind::Datagram, IcmpSocketKind::Raw),      \
                           [](const auto& info) { return SocketKindName(info.param); })

}  // namespace tolvane::probe
