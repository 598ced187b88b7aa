// Started with CAP_NET_RAW (the package's file capability) or as root, the
// process obtains its raw socket and then holds nothing: no capability in
// any set, no root. Every step is checked; a process that could not give a
// privilege up ends rather than run on with it.
#include "privileges_linux.h"

#include <grp.h>
#include <linux/securebits.h>
#include <pwd.h>
#include <sys/auxv.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "echo_linux.h"
#include "privileges.h"

namespace tolvane::probe {
namespace {

// capget and capset have no C library wrapper, and prctl's is variadic.
const PrivilegeCalls kSystemCalls{
    [](cap_user_header_t header, cap_user_data_t data) { return static_cast<int>(syscall(SYS_capget, header, data)); },
    [](cap_user_header_t header, cap_user_data_t data) { return static_cast<int>(syscall(SYS_capset, header, data)); },
    [](int option, unsigned long a, unsigned long b, unsigned long c, unsigned long d) {
      return prctl(option, a, b, c, d);
    },
    setgroups, setresgid, setresuid};
const PrivilegeCalls* calls = &kSystemCalls;

using CapabilitySets = __user_cap_data_struct[_LINUX_CAPABILITY_U32S_3];

[[noreturn]] void Refuse(const char* step, int error) {
  std::fprintf(stderr,
               "tolvane: could not give up its privileges (%s failed: %s).\n"
               "It will not run with more privilege than it needs; start it as yourself, not as root,\n"
               "or report this with the output of: grep Cap /proc/self/status\n",
               step, std::strerror(error));
  std::fflush(stderr);
  _exit(3);
}

void Check(bool done, const char* step) {
  if (!done) Refuse(step, errno);
}

// For a step that did not fail, but left the process with what it must not keep.
void Verify(bool done, const char* step) {
  if (!done) Refuse(step, EPERM);
}

bool HoldsAny(const CapabilitySets& sets) {
  return std::ranges::any_of(
      sets, [](const auto& word) { return word.effective != 0 || word.permitted != 0 || word.inheritable != 0; });
}

void ReadCapabilities(CapabilitySets& sets) {
  __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
  Check(calls->capget(&header, sets) == 0, "capget");
}

// A whole decimal id, as sudo and pkexec write them; nothing for anything else.
std::optional<unsigned> IdFromEnvironment(const char* name) {
  const char* text = std::getenv(name);
  if (text == nullptr || *text < '0' || *text > '9') return std::nullopt;
  char* end = nullptr;
  errno = 0;
  const unsigned long value = std::strtoul(text, &end, 10);
  if (errno != 0 || *end != '\0' || value >= 0xFFFFFFFFUL) return std::nullopt;
  return static_cast<unsigned>(value);
}

struct User {
  uid_t uid;
  gid_t gid;
  std::vector<gid_t> groups;
};

// The user who started the program through sudo or pkexec: root hands the
// process back to them. Nothing when root was not asked for by another user.
std::optional<User> InvokingUser() {
  std::optional<unsigned> uid = IdFromEnvironment("SUDO_UID");
  std::optional<unsigned> gid = IdFromEnvironment("SUDO_GID");
  if (!uid) {
    uid = IdFromEnvironment("PKEXEC_UID");
    gid.reset();
  }
  if (!uid || *uid == 0) return std::nullopt;
  const passwd* entry = getpwuid(*uid);
  if (!gid && entry == nullptr) Refuse("finding the group of the user who started it", ENOENT);
  User user{*uid, gid ? *gid : entry->pw_gid, {}};
  if (entry != nullptr) {
    int count = 64;
    user.groups.resize(count);
    if (getgrouplist(entry->pw_name, user.gid, user.groups.data(), &count) < 0) {
      user.groups.resize(count);
      getgrouplist(entry->pw_name, user.gid, user.groups.data(), &count);
    }
    user.groups.resize(std::max(count, 0));
    // The toolkit keeps its settings in the user's home, not root's.
    setenv("HOME", entry->pw_dir, 1);
    setenv("USER", entry->pw_name, 1);
    setenv("LOGNAME", entry->pw_name, 1);
  }
  if (user.groups.empty()) user.groups.push_back(user.gid);
  if (const char* runtime = std::getenv("XDG_RUNTIME_DIR")) {
    struct stat info{};
    if (stat(runtime, &info) != 0 || info.st_uid != user.uid) unsetenv("XDG_RUNTIME_DIR");
  }
  return user;
}

void DropBoundingSet() {
  for (unsigned long capability = 0; capability <= 63; ++capability) {
    const int held = calls->prctl(PR_CAPBSET_READ, capability, 0, 0, 0);
    if (held < 0) break;  // past the last capability this kernel knows
    if (held == 1) Check(calls->prctl(PR_CAPBSET_DROP, capability, 0, 0, 0) == 0, "prctl(PR_CAPBSET_DROP)");
  }
}

// The raw sockets (ICMP and ICMPv6), when ping sockets are closed to us;
// not being able to open one isn't a failure here: the window explains it
// at the first probe.
void ObtainIcmpSocket() {
  for (const int family : {AF_INET, AF_INET6}) {
    if (PingSocketAllowed(family)) continue;
    const int fd = OpenFilteredRawSocket(family);
    if (fd >= 0) LendRawSocket(fd, family);
  }
}

constexpr unsigned long kRootGrantsNothing =
    SECBIT_NOROOT | SECBIT_NOROOT_LOCKED | SECBIT_NO_SETUID_FIXUP | SECBIT_NO_SETUID_FIXUP_LOCKED |
    SECBIT_KEEP_CAPS_LOCKED | SECBIT_NO_CAP_AMBIENT_RAISE | SECBIT_NO_CAP_AMBIENT_RAISE_LOCKED;

void GiveUp() {
  CapabilitySets held{};
  ReadCapabilities(held);
  const bool root = getuid() == 0 || geteuid() == 0;
  const std::optional<User> user = root ? InvokingUser() : std::nullopt;
  const bool canSetBits = (held[CAP_SETPCAP / 32].effective >> (CAP_SETPCAP % 32)) & 1U;

  if (root && !user) {
    // Staying uid 0: make that uid grant no capability, now or after exec.
    Verify(canSetBits, "CAP_SETPCAP for the secure bits");
    Check(calls->prctl(PR_SET_SECUREBITS, kRootGrantsNothing, 0, 0, 0) == 0, "prctl(PR_SET_SECUREBITS)");
  }
  // Without CAP_SETPCAP (a file-capability start) the bounding set can't be
  // changed; no_new_privs below then keeps anything from being gained.
  if (canSetBits) DropBoundingSet();
  if (user) {
    Check(calls->setgroups(user->groups.size(), user->groups.data()) == 0, "setgroups");
    Check(calls->setresgid(user->gid, user->gid, user->gid) == 0, "setresgid");
  }
  // After the groups change: ping sockets are allowed by group.
  if (root || HoldsAny(held)) ObtainIcmpSocket();
  if (user) {
    Check(calls->setresuid(user->uid, user->uid, user->uid) == 0, "setresuid");
    // A display cookie only root may read: the user's own, in their home, may do.
    if (const char* cookie = std::getenv("XAUTHORITY"); cookie != nullptr && access(cookie, R_OK) != 0)
      unsetenv("XAUTHORITY");
  }

  __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
  CapabilitySets none{};
  Check(calls->capset(&header, none) == 0, "capset");
  Check(calls->prctl(PR_CAP_AMBIENT, PR_CAP_AMBIENT_CLEAR_ALL, 0, 0, 0) == 0, "prctl(PR_CAP_AMBIENT)");
  Check(calls->prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) == 0, "prctl(PR_SET_NO_NEW_PRIVS)");

  // Trust what the kernel reports now, not what the calls returned.
  CapabilitySets left{};
  ReadCapabilities(left);
  Verify(!HoldsAny(left), "capset (capabilities remain)");
  if (user) {
    uid_t r = 0, e = 0, s = 0;
    gid_t gr = 0, ge = 0, gs = 0;
    Check(getresuid(&r, &e, &s) == 0 && getresgid(&gr, &ge, &gs) == 0, "getresuid");
    Verify(r == user->uid && e == user->uid && s == user->uid, "setresuid (uid 0 remains)");
    Verify(gr == user->gid && ge == user->gid && gs == user->gid, "setresgid (gid 0 remains)");
  } else if (root) {
    const int bits = calls->prctl(PR_GET_SECUREBITS, 0, 0, 0, 0);
    Verify(bits >= 0 && (static_cast<unsigned long>(bits) & kRootGrantsNothing) == kRootGrantsNothing,
          "prctl(PR_SET_SECUREBITS) (root still grants capabilities)");
  }
}

}  // namespace

const PrivilegeCalls& SystemPrivilegeCalls() { return kSystemCalls; }

void SetPrivilegeCallsForTesting(const PrivilegeCalls* replacement) {
  calls = replacement != nullptr ? replacement : &kSystemCalls;
}

void RemovePluginOverrides(int& argc, char** argv, const PluginOverrides& overrides) {
  int kept = argc > 0 ? 1 : 0;
  for (int i = kept; i < argc; ++i) {
    std::string_view arg = argv[i];
    bool dropped = false;
    if (arg.starts_with('-')) {
      const std::string_view name = arg.substr(arg.starts_with("--") ? 2 : 1);
      const std::string_view option = name.substr(0, name.find('='));  // "style" of "style=x"
      dropped = std::ranges::find(overrides.valueOptions, option) != overrides.valueOptions.end();
      if (dropped && option == name) ++i;  // and its value
    }
    if (!dropped) argv[kept++] = argv[i];
  }
  if (argc > 0) argv[kept] = nullptr;
  argc = kept;

  std::vector<std::string> names;
  for (char** variable = environ; *variable != nullptr; ++variable) {
    const std::string_view entry = *variable;
    const std::string_view name = entry.substr(0, entry.find('='));
    const bool safe = std::ranges::find(overrides.keptVariables, name) != overrides.keptVariables.end();
    const auto loads = [&](std::string_view prefix) { return name.starts_with(prefix); };
    if (!safe && std::ranges::any_of(overrides.variablePrefixes, loads)) names.emplace_back(name);
  }
  for (const std::string& name : names) unsetenv(name.c_str());
}

void GiveUpPrivileges(int& argc, char** argv, const PluginOverrides& overrides) {
  GiveUp();
  if (getauxval(AT_SECURE) != 0) RemovePluginOverrides(argc, argv, overrides);
}

bool FolderIsWritable(std::string_view program) {
  const std::string path(program);
  const std::size_t slash = path.rfind('/');
  const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
  return access(folder.c_str(), W_OK) == 0;
}

}  // namespace tolvane::probe
