#include "resolve/resolve.h"

#include <gtest/gtest.h>

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
  EXPECT_EQ(ResolveHostAddress("localhost", resolver), "127.0.0.1");
  EXPECT_EQ(sockets.startups, 1);
  EXPECT_EQ(sockets.cleanups, 1);
  EXPECT_EQ(sockets.lastRequested, 0x0101);
  EXPECT_TRUE(sink.shown.empty());
}

TEST_F(ResolveTest, TakesADottedTextAsItsOwnAddress) {
  EXPECT_EQ(ResolveHostAddress("127.0.0.9", resolver), "127.0.0.9");
}

TEST_F(ResolveTest, TheNameEndsAtItsFirstNul) {
  EXPECT_EQ(ResolveHostAddress(std::string("localhost\0.invalid", 18), resolver), "127.0.0.1");
}

// Names that reach the resolver's name servers are asked only inside the
// test bed, whose resolver is its own.
TEST_F(ResolveTest, TheTestBedsNamesGiveTheirFirstAddress) {
  TOLVANE_REQUIRE_TESTBED();
  EXPECT_EQ(ResolveHostAddress(testbed::kKernelName, resolver), testbed::kKernelHost);
  EXPECT_EQ(ResolveHostAddress(testbed::kResponder15Name, resolver), testbed::kResponder15);
  EXPECT_EQ(ResolveHostAddress(testbed::kMultiName, resolver), testbed::kKernelHost);
}

TEST_F(ResolveTest, AnUnknownNameGivesTheEmptyTextAndStillCleansUp) {
  TOLVANE_REQUIRE_TESTBED();
  EXPECT_EQ(ResolveHostAddress(testbed::kUnknownName, resolver), "");
  EXPECT_EQ(sockets.startups, 1);
  EXPECT_EQ(sockets.cleanups, 1);
  EXPECT_TRUE(sink.shown.empty());
}

// getaddrinfo finds nothing for it (Windows' gethostbyname takes it for
// the machine's own name).
TEST_F(ResolveTest, AnEmptyNameGivesTheEmptyText) {
  TOLVANE_REQUIRE_TESTBED();
  EXPECT_EQ(ResolveHostAddress("", resolver), "");
  EXPECT_EQ(sockets.cleanups, 1);
}

TEST_F(ResolveTest, ASocketLibraryThatWontStartGivesOneSpaceAndNoCleanup) {
  sockets.startupResult = 10091;
  sockets.cleanupResult = -1;
  EXPECT_EQ(ResolveHostAddress("localhost", resolver), " ");
  EXPECT_EQ(sockets.cleanups, 0);
  EXPECT_TRUE(sink.shown.empty());
}

TEST_F(ResolveTest, AFailedCleanupIsShownAndTheAddressStillReturned) {
  sockets.cleanupResult = -1;
  EXPECT_EQ(ResolveHostAddress("localhost", resolver), "127.0.0.1");
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
