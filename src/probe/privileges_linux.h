// The system calls that give up privileges on Linux, behind a seam so tests
// can make each of them fail.
#pragma once

#include <linux/capability.h>
#include <sys/types.h>

#include <cstddef>

#include "probe/privileges.h"

namespace tolvane::probe {

struct PrivilegeCalls {
  int (*capget)(cap_user_header_t header, cap_user_data_t data);
  int (*capset)(cap_user_header_t header, const cap_user_data_t data);
  int (*prctl)(int option, unsigned long a, unsigned long b, unsigned long c, unsigned long d);
  int (*setgroups)(std::size_t count, const gid_t* groups);
  int (*setresgid)(gid_t real, gid_t effective, gid_t saved);
  int (*setresuid)(uid_t real, uid_t effective, uid_t saved);
};

const PrivilegeCalls& SystemPrivilegeCalls();

// GiveUpPrivileges goes through `calls` from now on (nullptr: the system's).
void SetPrivilegeCallsForTesting(const PrivilegeCalls* calls);

// Removes the toolkit's options that load code from elsewhere from argv,
// and the variables that do the same from the environment. GiveUpPrivileges
// does this in secure mode (a file-capability or setuid start), where the
// user who started the program is not the one who installed it.
void RemovePluginOverrides(int& argc, char** argv, const PluginOverrides& overrides);

}  // namespace tolvane::probe
