#include "app/messages.h"

namespace tolvane::ui {
namespace {

// One word for a POSIX shell, whatever the path holds: inside single
// quotes nothing is special but the quote itself.
std::string ShellQuoted(std::string_view text) {
  std::string quoted = "'";
  for (const char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

}  // namespace

std::string BadIntervalMessage(std::string_view decimal) {
  const std::string separator(decimal);
  return "\"Int in Sec.\" must be a number of seconds from 0 to 60, with \"" + separator +
         "\" as its decimal separator, as in 0" + separator + "5.";
}

std::string NotPermittedMessage(std::string_view program, bool folderWritable) {
  std::string text = "Tolvane is not allowed to send ICMP echo requests (ping) on this system.\n\n";
  if (folderWritable) {
    text += "It could be given the raw-socket capability, but not where it is now: ";
    text += program;
    text +=
        " lies in a folder you can write to, so anything you run could replace it and receive the "
        "capability. Install it (the package puts it in /usr/bin and grants it), or\n";
  } else {
    text +=
        "Either give the program the raw-socket capability:\n"
        "    sudo setcap cap_net_raw+ep ";
    text += ShellQuoted(program);
    text += "\n\nor ";
  }
  text +=
      "let your group use ping sockets (replace the range to suit):\n"
      "    sudo sysctl -w net.ipv4.ping_group_range=\"0 2147483647\"";
  return text;
}

}  // namespace tolvane::ui
