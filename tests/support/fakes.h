// Stand-ins for what can't fail on this machine: a socket library that
// refuses to start, and a record of the messages the user would see.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "probe/platform.h"

namespace tolvane::testing {

class RecordingSink final : public probe::MessageSink {
 public:
  void Show(const std::string& text, probe::MessageIcon icon) override { shown.emplace_back(text, icon); }
  std::vector<std::pair<std::string, probe::MessageIcon>> shown;
};

class FakeSocketLibrary final : public probe::SocketLibrary {
 public:
  int startupResult = 0;
  std::uint16_t version = 0x0101;
  std::int16_t maxSockets = 100;
  int cleanupResult = 0;
  int startups = 0;
  int cleanups = 0;

  int Startup(std::uint16_t requested, probe::WsaData& data) override {
    ++startups;
    lastRequested = requested;
    data.wVersion = version;
    data.iMaxSockets = maxSockets;
    return startupResult;
  }
  int Cleanup() override {
    ++cleanups;
    return cleanupResult;
  }
  std::uint16_t lastRequested = 0;
};

}  // namespace tolvane::testing
