// A scripted engine for the run's logic tests: an echo service that answers
// from a script instead of the network, and a host lookup from a table.
#pragma once

#include <cmath>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "probe/probe.h"
#include "resolve/resolve.h"

namespace tolvane::testing {

// One echo's outcome: a reply after `ms`, or no reply with `status`.
struct Echo {
  std::int32_t status = probe::kIpSuccess;
  double ms = 0;
};
inline Echo Reply(double ms) { return {probe::kIpSuccess, ms}; }
inline Echo Lost(std::int32_t status = probe::kIpReqTimedOut) { return {status, 0}; }
inline Echo NotPermitted() { return Lost(probe::kIcmpNotPermitted); }

// Answers each echo with the next entry of `script`; once it runs out,
// echoes time out. Every echo's destination is kept, as dotted text.
class ScriptedIcmpService final : public probe::IcmpService {
 public:
  std::deque<Echo> script;
  std::vector<std::string> sent;

  std::unique_ptr<probe::IcmpHandle> Open() override { return std::make_unique<Handle>(*this); }

 private:
  class Handle final : public probe::IcmpHandle {
   public:
    explicit Handle(ScriptedIcmpService& service) : service_(service) {}
    std::uint32_t SendEcho(std::uint32_t destination, std::span<const char>, probe::EchoReply& reply,
                           std::uint32_t) override {
      service_.sent.push_back(resolve::AddressToText(destination));
      Echo echo = Lost();
      if (!service_.script.empty()) {
        echo = service_.script.front();
        service_.script.pop_front();
      }
      reply.Status = echo.status;
      if (echo.status != probe::kIpSuccess) return 0;
      reply.RoundTripTime = static_cast<std::int32_t>(echo.ms);
      reply.RoundTripMicroseconds = std::llround(echo.ms * 1000);
      return 1;
    }

   private:
    ScriptedIcmpService& service_;
  };
};

// Names and their first address, as dotted text.
class TableHostLookup final : public resolve::HostLookup {
 public:
  std::map<std::string, std::string> names;
  std::vector<std::string> asked;

  std::optional<std::uint32_t> FirstAddress(const std::string& name) override {
    asked.push_back(name);
    const auto found = names.find(name);
    if (found == names.end()) return std::nullopt;
    return static_cast<std::uint32_t>(probe::DottedToAddress(found->second));
  }
};

}  // namespace tolvane::testing
