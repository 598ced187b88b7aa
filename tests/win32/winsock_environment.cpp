// Windows Sockets' name service works only between WSAStartup and
// WSACleanup. In the program the socket library is started around each
// lookup; the resolver's tests count those calls on a fake, so the real
// library is started here, once for the whole test program.
#include <winsock2.h>

#include <gtest/gtest.h>

namespace {

class WinsockEnvironment final : public ::testing::Environment {
 public:
  void SetUp() override {
    WSADATA data;
    ASSERT_EQ(WSAStartup(0x0101, &data), 0);
  }
  void TearDown() override { WSACleanup(); }
};

const auto* const kRegistered = ::testing::AddGlobalTestEnvironment(new WinsockEnvironment);

}  // namespace
