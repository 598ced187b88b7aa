#include "resolve/resolve.h"

#include <gtest/gtest.h>

#include <map>
#include <utility>

#include "support/fakes.h"
#include "testbed/testbed_gtest.h"

namespace tolvane::resolve {
namespace {

using testing::FakeSocketLibrary;
using testing::RecordingSink;

class ResolveTest : public ::testing::Test {
 protected:
  FakeSocketLibrary sockets;
  std::unique_ptr<HostLookup> lookup = MakeSystemHostLookup();
  RecordingSink sink;
  Resolver resolver{sockets, *lookup, sink};
};

TEST_F(ResolveTest, GivesTheDottedTextOfALocalName) {
  EXPECT_EQ(ResolveHost("localhost", resolver).address, "127.0.0.1");
  EXPECT_EQ(sockets.startups, 1);
  EXPECT_EQ(sockets.cleanups, 1);
  EXPECT_EQ(sockets.lastRequested, 0x0101);
  EXPECT_TRUE(sink.shown.empty());
}

TEST_F(ResolveTest, TakesADottedTextAsItsOwnAddress) {
  EXPECT_EQ(ResolveHost("127.0.0.9", resolver).address, "127.0.0.9");
}

TEST_F(ResolveTest, TheNameEndsAtItsFirstNul) {
  EXPECT_EQ(ResolveHost(std::string("localhost\0.invalid", 18), resolver).address, "127.0.0.1");
}

// Names that reach the resolver's name servers are asked only inside the
// test bed, whose resolver is its own.
TEST_F(ResolveTest, TheTestBedsNamesGiveTheirFirstAddress) {
  TOLVANE_REQUIRE_TESTBED();
  EXPECT_EQ(ResolveHost(testbed::kKernelName, resolver).address, testbed::kKernelHost);
  EXPECT_EQ(ResolveHost(testbed::kResponder15Name, resolver).address, testbed::kResponder15);
  EXPECT_EQ(ResolveHost(testbed::kMultiName, resolver).address, testbed::kKernelHost);
  EXPECT_EQ(ResolveHost(testbed::kIdnName, resolver).address, testbed::kResponder15);
}

// One lookup for both families, IPv6 only where it finds no IPv4 address;
// a text written as an IPv6 address is never a name's address.
TEST_F(ResolveTest, IPv6OnlyWhereIPv4FindsNothing) {
  TOLVANE_REQUIRE_TESTBED();
  struct {
    std::string name;
    std::string ipv4, ipv6;
  } const rows[] = {
      {"::1", "", ""},
      {"FD4C:7F1E:A7B0:1::2", "", ""},
      {"fe80::1%1", "", ""},
      {"fe80::1", "", ""},  // link-local: which link?
      {"fe80::1%no-such-interface", "", ""},
      {testbed::kV6OnlyName, "", testbed::kResponder15Host6},
      {testbed::kMulti6Name, "", testbed::kKernelHost6},
      {testbed::kDualName, testbed::kSilentHost, ""},  // its IPv4 address is the one
      {testbed::kKernelName, testbed::kKernelHost, ""},
      {testbed::kUnknownName, "", ""},
      {std::string("v6only.tolvane.test\0.invalid", 28), "", testbed::kResponder15Host6},
  };
  for (const auto& row : rows) {
    sockets.startups = sockets.cleanups = 0;
    const ResolvedHost resolved = ResolveHost(row.name, resolver);
    EXPECT_EQ(std::pair(resolved.address, resolved.address6), std::pair(row.ipv4, row.ipv6)) << row.name;
    EXPECT_EQ(std::pair(sockets.startups, sockets.cleanups), std::pair(1, 1)) << row.name;
  }
  sockets.startupResult = 10091;
  const ResolvedHost refused = ResolveHost(testbed::kV6OnlyName, resolver);
  EXPECT_EQ(std::pair(refused.address, refused.address6), std::pair(std::string(" "), std::string()));
  EXPECT_TRUE(sink.shown.empty());
}

// One lookup's wait for a name no name server answers: the two families
// asked together on Linux; on Windows gethostbyname's IPv4 question alone,
// since an IPv6 question after its time-out would wait as long again.
TEST_F(ResolveTest, ANameNoNameServerAnswersIsAskedOnce) {
  TOLVANE_REQUIRE_TESTBED();
  testbed::SilentNameServer server;
  ASSERT_TRUE(server.listening());
  const ResolvedHost resolved = ResolveHost(testbed::kUnknownName, resolver);
  EXPECT_EQ(resolved.address + resolved.address6, "");
#ifdef _WIN32
  EXPECT_EQ(server.Questions(testbed::kUnknownName), (std::map<int, int>{{1, 1}}));
#else
  EXPECT_EQ(server.Questions(testbed::kUnknownName), (std::map<int, int>{{1, 1}, {28, 1}}));
#endif
}

TEST_F(ResolveTest, AnUnknownNameGivesTheEmptyTextAndStillCleansUp) {
  TOLVANE_REQUIRE_TESTBED();
  EXPECT_EQ(ResolveHost(testbed::kUnknownName, resolver).address, "");
  EXPECT_EQ(sockets.startups, 1);
  EXPECT_EQ(sockets.cleanups, 1);
  EXPECT_TRUE(sink.shown.empty());
}

// getaddrinfo finds nothing for it (Windows' gethostbyname takes it for
// the machine's own name).
TEST_F(ResolveTest, AnEmptyNameGivesTheEmptyText) {
  TOLVANE_REQUIRE_TESTBED();
  EXPECT_EQ(ResolveHost("", resolver).address, "");
  EXPECT_EQ(sockets.cleanups, 1);
}

TEST_F(ResolveTest, ASocketLibraryThatWontStartGivesOneSpaceAndNoCleanup) {
  sockets.startupResult = 10091;
  sockets.cleanupResult = -1;
  EXPECT_EQ(ResolveHost("localhost", resolver).address, " ");
  EXPECT_EQ(sockets.cleanups, 0);
  EXPECT_TRUE(sink.shown.empty());
}

TEST_F(ResolveTest, AFailedCleanupIsShownAndTheAddressStillReturned) {
  sockets.cleanupResult = -1;
  EXPECT_EQ(ResolveHost("localhost", resolver).address, "127.0.0.1");
  ASSERT_EQ(sink.shown.size(), 1u);
  EXPECT_EQ(sink.shown[0].first, "Windows Sockets error occurred during Cleanup.");
  EXPECT_EQ(sink.shown[0].second, probe::MessageIcon::Exclamation);
}

TEST(AddressToText, WritesTheBytesInMemoryOrder) {
  EXPECT_EQ(AddressToText(0x0100007F), "127.0.0.1");
  EXPECT_EQ(AddressToText(0xC801A8C0), "192.168.1.200");
  EXPECT_EQ(AddressToText(0), "0.0.0.0");
  EXPECT_EQ(AnsiPointerToText("abc"), "abc");
}

}  // namespace
}  // namespace tolvane::resolve
