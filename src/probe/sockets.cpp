// Socket library start-up and clean-up around every probe.
#include <string>

#include "probe.h"

namespace tolvane::probe {
namespace {
constexpr std::uint16_t kRequestedVersion = 0x0101;  // 1.1
constexpr int kMinMajor = 1;
constexpr int kMinMinor = 1;
constexpr int kMinSockets = 1;
}  // namespace

bool SocketsStart(SocketLibrary& sockets, MessageSink& messages) {
  WsaData data;
  if (sockets.Startup(kRequestedVersion, data) != 0) {
    messages.Show("Windows Sockets for 32 bit Windows environments is not successfully responding.", MessageIcon::None);
    return false;
  }
  const int major = data.wVersion & 0xFF;
  const int minor = data.wVersion >> 8;
  if (major < kMinMajor || (major == kMinMajor && minor < kMinMinor)) {
    messages.Show("Windows Sockets Version " + std::to_string(major) + "." + std::to_string(minor) +
                      " is not supported by Windows Sockets for 32 bit Windows environments.",
                  MessageIcon::Exclamation);
    return false;
  }
  if (data.iMaxSockets >= kMinSockets) return true;
  messages.Show("This application requires a minimum of " + std::to_string(kMinSockets) + " supported sockets.",
                MessageIcon::Exclamation);
  return false;
}

bool SocketsStop(SocketLibrary& sockets, MessageSink& messages) {
  const int result = sockets.Cleanup();
  if (result == 0) return true;
  messages.Show("Windows Sockets error " + std::to_string(result) + " occurred in Cleanup.",
                MessageIcon::Exclamation);
  return false;
}

}  // namespace tolvane::probe
