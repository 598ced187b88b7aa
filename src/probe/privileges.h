// The program needs one privilege, and only where ping sockets are not
// allowed: a raw ICMP socket (CAP_NET_RAW on Linux). It obtains that socket
// at start-up and then gives up every privilege, before any toolkit code
// runs: the window toolkit loads plugins and modules named by environment
// variables and arguments, which would otherwise run with the privilege.
#pragma once

#include <span>
#include <string_view>

namespace tolvane::probe {

// What the window toolkit reads to load code from elsewhere: options of the
// command line that take a value ("-style x", "-style=x", "--style x"), and
// variables of the environment by prefix, with the exceptions that are safe.
// The toolkit's front-end knows them; the engine only removes them.
struct PluginOverrides {
  std::span<const std::string_view> valueOptions;
  std::span<const std::string_view> variablePrefixes;
  std::span<const std::string_view> keptVariables;
};

// First thing in main(). In secure mode (a file-capability or setuid start)
// it also removes the toolkit's `overrides` from argv and the environment.
// Ends the program with a message on stderr (exit code 3) when a privilege
// can't be given up.
void GiveUpPrivileges(int& argc, char** argv, const PluginOverrides& overrides);

// Whether the user running this program may write to the folder holding
// `program`; whoever can replace the binary there must not be told to give
// it a privilege.
bool FolderIsWritable(std::string_view program);

}  // namespace tolvane::probe
