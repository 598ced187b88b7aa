// What the process keeps after giving up its privileges, seen by the kernel.
#include "probe/privileges.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <netinet/in.h>
#include <linux/capability.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cstdint>
#include <fstream>
#include <string>

namespace tolvane::probe {
namespace {

constexpr std::uint64_t kNetRaw = 1ULL << 13;

std::uint64_t Capabilities(const std::string& set) {  // "CapEff", "CapPrm"
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind(set + ":", 0) == 0) return std::stoull(line.substr(set.size() + 1), nullptr, 16);
  return ~0ULL;
}

// Runs `body` in a child, so the test process keeps what it has; the
// child's exit code is the bit mask of failed checks.
int InChild(int (*body)()) {
  const pid_t child = fork();
  if (child == 0) _exit(body());
  int status = 0;
  waitpid(child, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 255;
}

// A file only another user may read.
class KeepOnlyIcmpPrivilegeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!(Capabilities("CapEff") & kNetRaw) || getuid() != 0) GTEST_SKIP() << "needs root to begin with";
    std::ofstream(path) << "secret\n";
    ASSERT_EQ(chown(path.c_str(), 65534, 65534), 0);
    ASSERT_EQ(chmod(path.c_str(), 0600), 0);
  }
  void TearDown() override { unlink(path.c_str()); }

  static inline std::string path = "/tmp/tolvane-privileges-" + std::to_string(getpid());
};

TEST_F(KeepOnlyIcmpPrivilegeTest, RootKeepsRawSocketsAndNothingElse) {
  EXPECT_EQ(InChild([] {
              KeepOnlyIcmpPrivilege();
              int failed = 0;
              if (Capabilities("CapEff") != kNetRaw) failed |= 1;
              if (Capabilities("CapPrm") != kNetRaw) failed |= 2;
              const int fd = socket(AF_INET, SOCK_RAW, IPPROTO_ICMP);
              if (fd < 0) failed |= 4;
              close(fd);
              // Without CAP_DAC_OVERRIDE, root reads only what is its own.
              if (std::ifstream(path).is_open()) failed |= 8;
              return failed;
            }),
            0);
}

TEST_F(KeepOnlyIcmpPrivilegeTest, AProcessWithoutRawSocketsKeepsNothing) {
  EXPECT_EQ(InChild([] {
              // Started with one unrelated privilege only.
              __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
              __user_cap_data_struct chownOnly[_LINUX_CAPABILITY_U32S_3] = {};
              chownOnly[0].permitted = chownOnly[0].effective = 1U << CAP_CHOWN;
              if (syscall(SYS_capset, &header, chownOnly) != 0) return 32;
              KeepOnlyIcmpPrivilege();
              int failed = 0;
              if (Capabilities("CapEff") != 0) failed |= 1;
              if (Capabilities("CapPrm") != 0) failed |= 2;
              const int fd = socket(AF_INET, SOCK_RAW, IPPROTO_ICMP);
              if (fd >= 0) failed |= 4;
              close(fd);
              return failed;
            }),
            0);
}

}  // namespace
}  // namespace tolvane::probe
