// Name resolution through gethostbyname inside the test bed, where it
// differs from Linux: Windows takes the empty name for this machine's own.
#include <winsock2.h>

#include <gtest/gtest.h>

#include "resolve/resolve.h"
#include "support/fakes.h"
#include "testbed/testbed_gtest.h"

namespace tolvane::resolve {
namespace {

class ResolveWinNetTest : public ::testing::Test {
 protected:
  void SetUp() override { TOLVANE_REQUIRE_TESTBED(); }

  testing::FakeSocketLibrary sockets;
  std::unique_ptr<HostLookup> lookup = MakeSystemHostLookup();
  testing::RecordingSink sink;
  Resolver resolver{sockets, *lookup, sink};
};

TEST_F(ResolveWinNetTest, AnUnknownNameGivesTheEmptyTextAndStillCleansUp) {
  EXPECT_EQ(ResolveHost(testbed::kUnknownName, resolver).address, "");
  EXPECT_EQ(sockets.startups, 1);
  EXPECT_EQ(sockets.cleanups, 1);
  EXPECT_TRUE(sink.shown.empty());
}

TEST_F(ResolveWinNetTest, AnEmptyNameIsPassedOnAndNamesThisMachine) {
  char own[256] = {};
  ASSERT_EQ(gethostname(own, sizeof own), 0);
  const std::string address = ResolveHost("", resolver).address;
  EXPECT_NE(address, "");
  EXPECT_EQ(address, ResolveHost(own, resolver).address);
}

}  // namespace
}  // namespace tolvane::resolve
