// The program needs one privilege, and only where ping sockets are not
// allowed: a raw ICMP socket (CAP_NET_RAW on Linux). It obtains that socket
// at start-up and then gives up every privilege, before any toolkit code
// runs: the window toolkit loads plugins and modules named by environment
// variables and arguments, which would otherwise run with the privilege.
#pragma once

#include <string_view>

namespace tolvane::probe {

// First thing in main(). Ends the program with a message on stderr (exit
// code 3) when a privilege can't be given up.
void GiveUpPrivileges(int& argc, char** argv);

// Whether the user running this program may write to the folder holding
// `program`; whoever can replace the binary there must not be told to give
// it a privilege.
bool FolderIsWritable(std::string_view program);

}  // namespace tolvane::probe
