// Windows' ICMP echo service needs no privilege: nothing to give up.
#include "privileges.h"

namespace tolvane::probe {

void GiveUpPrivileges(int&, char**, const PluginOverrides&) {}

// Windows grants nothing to a binary for where it lies.
bool FolderIsWritable(std::string_view) { return false; }

}  // namespace tolvane::probe
