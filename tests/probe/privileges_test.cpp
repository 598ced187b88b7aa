// What the process holds after giving up its privileges, seen by the kernel,
// and that a privilege call that fails ends it.
#include "probe/privileges.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sched.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <ostream>
#include <netinet/in.h>
#include <string>
#include <vector>

#include "probe/echo_linux.h"
#include "probe/privileges_linux.h"
#include "probe/probe.h"
#include "support/fakes.h"

namespace tolvane::probe {
namespace {

struct Outcome {
  int exitCode;
  std::string output;  // stdout and stderr
};

// Runs `body` in a child, so this process keeps what it has.
Outcome InChild(const std::function<void()>& body) {
  int out[2];
  if (pipe(out) != 0) return {-1, "pipe"};
  const pid_t child = fork();
  if (child == 0) {
    dup2(out[1], 1);
    dup2(out[1], 2);
    close(out[0]);
    body();
    std::fflush(stdout);
    _exit(0);
  }
  close(out[1]);
  std::string output;
  char buffer[512];
  for (ssize_t n; (n = read(out[0], buffer, sizeof buffer)) > 0;) output.append(buffer, n);
  close(out[0]);
  int status = 0;
  waitpid(child, &status, 0);
  return {WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status), output};
}

std::string StatusLine(const std::string& name) {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);)
    if (line.rfind(name + ":", 0) == 0) return line;
  return "";
}

// A network namespace of our own: ping sockets closed (the kernel's default
// range), so the raw socket is what the program must keep.
void OwnNetworkWithoutPingSockets() {
  if (unshare(CLONE_NEWNET) != 0 || std::system("ip link set lo up") != 0) std::puts("no namespace");
}

// Root started it through sudo as user `uid`, or (nullptr) by itself.
void StartedBy(const char* uid) {
  for (const char* name : {"SUDO_UID", "SUDO_GID", "PKEXEC_UID"}) unsetenv(name);
  if (uid != nullptr) setenv("SUDO_UID", uid, 1);
}

void GiveUp() {
  char name[] = "tolvane";
  char* argv[] = {name, nullptr};
  int argc = 1;
  GiveUpPrivileges(argc, argv, PluginOverrides{});
}

class PrivilegesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // CAP_SETGID, CAP_SETUID, CAP_SETPCAP and CAP_NET_RAW.
    constexpr unsigned long long kNeeded = 1ULL << 6 | 1ULL << 7 | 1ULL << 8 | 1ULL << 13;
    const unsigned long long held = std::stoull(StatusLine("CapEff").substr(7), nullptr, 16);
    if (getuid() != 0 || (held & kNeeded) != kNeeded) GTEST_SKIP() << "needs root to begin with";
  }
};

struct Start {
  const char* name;
  const char* sudoUid;  // nullptr: root started without sudo
  const char* ids;      // Uid: and Gid: afterwards
};

void PrintTo(const Start& start, std::ostream* out) { *out << start.name; }

class RootStartTest : public PrivilegesTest, public ::testing::WithParamInterface<Start> {};

TEST_P(RootStartTest, KeepsNoCapabilityNoRootYetStillPings) {
  const Start start = GetParam();
  const std::string secret = "/tmp/tolvane-secret-" + std::to_string(getpid());
  std::ofstream(secret) << "someone else's\n";
  ASSERT_EQ(chown(secret.c_str(), 65533, 65533), 0);
  ASSERT_EQ(chmod(secret.c_str(), 0600), 0);
  const Outcome outcome = InChild([&] {
    OwnNetworkWithoutPingSockets();
    StartedBy(start.sudoUid);
    if (start.sudoUid != nullptr) setenv("SUDO_GID", start.sudoUid, 1);
    GiveUp();
    for (const char* line : {"Uid", "Gid", "CapInh", "CapPrm", "CapEff", "CapBnd", "CapAmb", "NoNewPrivs"})
      std::printf("%s\n", StatusLine(line).c_str());
    auto sockets = MakeSystemSocketLibrary();
    auto icmp = MakeSystemIcmpService();
    testing::RecordingSink sink;
    Platform platform{*sockets, *icmp, sink};
    Checker checker(platform);
    std::printf("probe %d\n", checker.check("127.0.0.1") >= 0 ? 1 : 0);
    std::printf("probe6 %d\n", checker.check("::1") >= 0 ? 1 : 0);
    const int fresh = socket(AF_INET, SOCK_RAW, IPPROTO_ICMP);
    std::printf("new raw socket %d\n", fresh >= 0 ? 1 : 0);
    const int fresh6 = socket(AF_INET6, SOCK_RAW, IPPROTO_ICMPV6);
    std::printf("new raw6 socket %d\n", fresh6 >= 0 ? 1 : 0);
    std::printf("read others' file %d\n", open(secret.c_str(), O_RDONLY) >= 0 ? 1 : 0);
    // The borrowed sockets' filters (ICMP and ICMPv6) can be neither
    // removed nor replaced.
    for (int fd = 3; fd < 64; ++fd) {
      int type = 0;
      socklen_t size = sizeof type;
      if (getsockopt(fd, SOL_SOCKET, SO_TYPE, &type, &size) == 0 && type == SOCK_RAW)
        std::printf("filter detached %d\n", setsockopt(fd, SOL_SOCKET, SO_DETACH_FILTER, nullptr, 0) == 0 ? 1 : 0);
    }
  });
  unlink(secret.c_str());
  EXPECT_EQ(outcome.exitCode, 0) << outcome.output;
  const std::string zero = "\t0000000000000000\n";
  EXPECT_EQ(outcome.output, std::string(start.ids) + "CapInh:" + zero + "CapPrm:" + zero + "CapEff:" + zero +
                                "CapBnd:" + zero + "CapAmb:" + zero +
                                "NoNewPrivs:\t1\nprobe 1\nprobe6 1\nnew raw socket 0\nnew raw6 socket 0\n"
                                "read others' file 0\nfilter detached 0\nfilter detached 0\n");
}

INSTANTIATE_TEST_SUITE_P(
    Starts, RootStartTest,
    ::testing::Values(Start{"Sudo", "65534", "Uid:\t65534\t65534\t65534\t65534\nGid:\t65534\t65534\t65534\t65534\n"},
                      Start{"RootItself", nullptr, "Uid:\t0\t0\t0\t0\nGid:\t0\t0\t0\t0\n"}),
    [](const auto& info) { return std::string(info.param.name); });

int Refused(cap_user_header_t, const cap_user_data_t) {
  errno = EPERM;
  return -1;
}
int Ignored(cap_user_header_t, const cap_user_data_t) { return 0; }  // says done, does nothing
template <int option>
int RefusePrctl(int o, unsigned long a, unsigned long b, unsigned long c, unsigned long d) {
  if (o == option) {
    errno = EPERM;
    return -1;
  }
  return prctl(o, a, b, c, d);
}
int RefuseGroups(std::size_t, const gid_t*) {
  errno = EPERM;
  return -1;
}
int RefuseUid(uid_t, uid_t, uid_t) {
  errno = EAGAIN;
  return -1;
}

struct Failure {
  const char* name;
  std::function<void(PrivilegeCalls&)> inject;
  bool sudo;
  const char* said;
};

void PrintTo(const Failure& failure, std::ostream* out) { *out << failure.name; }

class FailedCallTest : public PrivilegesTest, public ::testing::WithParamInterface<Failure> {};

TEST_P(FailedCallTest, StopsTheProgramAndSaysWhich) {
  const Outcome outcome = InChild([&] {
    PrivilegeCalls calls = SystemPrivilegeCalls();
    GetParam().inject(calls);
    SetPrivilegeCallsForTesting(&calls);
    StartedBy(GetParam().sudo ? "65534" : nullptr);
    GiveUp();
    std::puts("ran on");
  });
  EXPECT_EQ(outcome.exitCode, 3) << outcome.output;
  EXPECT_NE(outcome.output.find(std::string("(") + GetParam().said + " failed"), std::string::npos) << outcome.output;
  EXPECT_EQ(outcome.output.find("ran on"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(
    Calls, FailedCallTest,
    ::testing::Values(
        Failure{"Capset", [](PrivilegeCalls& c) { c.capset = Refused; }, false, "capset"},
        Failure{"CapsetThatDoesNothing", [](PrivilegeCalls& c) { c.capset = Ignored; }, false,
                "capset (capabilities remain)"},
        Failure{"SecureBits", [](PrivilegeCalls& c) { c.prctl = RefusePrctl<PR_SET_SECUREBITS>; }, false,
                "prctl(PR_SET_SECUREBITS)"},
        Failure{"BoundingSet", [](PrivilegeCalls& c) { c.prctl = RefusePrctl<PR_CAPBSET_DROP>; }, true,
                "prctl(PR_CAPBSET_DROP)"},
        Failure{"NoNewPrivileges", [](PrivilegeCalls& c) { c.prctl = RefusePrctl<PR_SET_NO_NEW_PRIVS>; }, true,
                "prctl(PR_SET_NO_NEW_PRIVS)"},
        Failure{"Groups", [](PrivilegeCalls& c) { c.setgroups = RefuseGroups; }, true, "setgroups"},
        Failure{"User", [](PrivilegeCalls& c) { c.setresuid = RefuseUid; }, true, "setresuid"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(PrivilegesTest, AFolderIsWritableOnlyWhenItsUserMayWriteThere) {
  const Outcome outcome = InChild([] {
    if (setresgid(65534, 65534, 65534) != 0 || setresuid(65534, 65534, 65534) != 0) return;
    std::printf("%d%d%d\n", FolderIsWritable("/tmp/tolvane") ? 1 : 0, FolderIsWritable("/usr/bin/tolvane") ? 1 : 0,
                FolderIsWritable("/proc/self/../x") ? 1 : 0);
  });
  EXPECT_EQ(outcome.output, "100\n");
}

}  // namespace
}  // namespace tolvane::probe
