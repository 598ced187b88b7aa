// Run as root, or with file capabilities, the process holds more than raw
// sockets need; keep CAP_NET_RAW if it was there and drop the rest.
#include <linux/capability.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <unistd.h>

#include "privileges.h"

namespace tolvane::probe {

void KeepOnlyIcmpPrivilege() {
  __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
  __user_cap_data_struct held[_LINUX_CAPABILITY_U32S_3] = {};
  if (syscall(SYS_capget, &header, held) != 0) return;
  __user_cap_data_struct kept[_LINUX_CAPABILITY_U32S_3] = {};
  constexpr unsigned raw = 1U << CAP_NET_RAW;  // in the first word
  kept[0].permitted = held[0].permitted & raw;
  kept[0].effective = kept[0].permitted;
  syscall(SYS_capset, &header, kept);
  // Nothing this process starts may gain privileges it doesn't have.
  prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0);
}

}  // namespace tolvane::probe
