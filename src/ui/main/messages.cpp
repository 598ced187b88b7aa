#include "ui/main/messages.h"

namespace tolvane::ui {

std::string NotPermittedMessage(std::string_view program) {
  std::string text =
      "Tolvane is not allowed to send ICMP echo requests (ping) on this system.\n\n"
      "Either give the program the raw-socket capability:\n"
      "    sudo setcap cap_net_raw+ep ";
  text += program;
  text +=
      "\n\nor let your group use ping sockets (replace the range to suit):\n"
      "    sudo sysctl -w net.ipv4.ping_group_range=\"0 2147483647\"";
  return text;
}

}  // namespace tolvane::ui
