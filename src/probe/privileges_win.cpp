// Windows' ICMP echo service needs no privilege: nothing to give up.
#include "privileges.h"

namespace tolvane::probe {

void KeepOnlyIcmpPrivilege() {}

}  // namespace tolvane::probe
