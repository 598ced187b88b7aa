// Linux sockets need no start-up. This layer grants what a Windows socket
// library would for a 1.1 request, and keeps the start/clean-up pairing so
// a clean-up without a start-up fails as WSACleanup does.
#include "platform.h"

namespace tolvane::probe {
namespace {

class LinuxSocketLibrary final : public SocketLibrary {
 public:
  int Startup(std::uint16_t requested, WsaData& data) override {
    ++started_;
    data.wVersion = requested;
    data.iMaxSockets = 32767;
    return 0;
  }
  int Cleanup() override {
    if (started_ == 0) return -1;
    --started_;
    return 0;
  }

 private:
  int started_ = 0;
};

}  // namespace

std::unique_ptr<SocketLibrary> MakeSystemSocketLibrary() {
  return std::make_unique<LinuxSocketLibrary>();
}

}  // namespace tolvane::probe
