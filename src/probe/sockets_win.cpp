// The Windows socket library: WSAStartup and WSACleanup, which count
// start-ups, so a clean-up without one fails with SOCKET_ERROR.
#include <winsock2.h>

#include "platform.h"

namespace tolvane::probe {
namespace {

class WinSocketLibrary final : public SocketLibrary {
 public:
  int Startup(std::uint16_t requested, WsaData& data) override {
    WSADATA granted{};
    const int result = WSAStartup(requested, &granted);
    data.wVersion = granted.wVersion;
    // Meaningful for 1.x requests, as ours is; the tests read it signed.
    data.iMaxSockets = static_cast<std::int16_t>(granted.iMaxSockets);
    return result;
  }
  int Cleanup() override { return WSACleanup(); }
};

}  // namespace

std::unique_ptr<SocketLibrary> MakeSystemSocketLibrary() { return std::make_unique<WinSocketLibrary>(); }

}  // namespace tolvane::probe
