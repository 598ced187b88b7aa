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
// echoes time out. Every echo's destination is kept, as dotted text (or
// IPv6 text for an ICMPv6 echo).
class ScriptedIcmpService final : public probe::IcmpService {
 public:
  std::deque<Echo> script;
  std::vector<std::string> sent;

  std::unique_ptr<probe::IcmpHandle> Open() override { return std::make_unique<Handle>(*this); }
  std::unique_ptr<probe::Icmp6Handle> Open6() override { return std::make_unique<Handle6>(*this); }

 private:
  // The next scripted outcome into `reply`: 1 for a reply, 0 otherwise.
  std::uint32_t Answer(probe::EchoReply& reply) {
    Echo echo = Lost();
    if (!script.empty()) {
      echo = script.front();
      script.pop_front();
    }
    reply.Status = echo.status;
    if (echo.status != probe::kIpSuccess) return 0;
    reply.RoundTripTime = static_cast<std::int32_t>(echo.ms);
    reply.RoundTripMicroseconds = std::llround(echo.ms * 1000);
    return 1;
  }

  class Handle6 final : public probe::Icmp6Handle {
   public:
    explicit Handle6(ScriptedIcmpService& service) : service_(service) {}
    std::uint32_t SendEcho(const probe::Address6& destination, std::span<const char>, probe::EchoReply& reply,
                           std::uint32_t) override {
      service_.sent.push_back(probe::Address6ToText(destination));
      return service_.Answer(reply);
    }

   private:
    ScriptedIcmpService& service_;
  };

  class Handle final : public probe::IcmpHandle {
   public:
    explicit Handle(ScriptedIcmpService& service) : service_(service) {}
    std::uint32_t SendEcho(std::uint32_t destination, std::span<const char>, probe::EchoReply& reply,
                           std::uint32_t) override {
      service_.sent.push_back(resolve::AddressToText(destination));
      return service_.Answer(reply);
    }

   private:
    ScriptedIcmpService& service_;
  };
};

// Names and their first address, as dotted text; `names6`, their first
// IPv6 address, as IPv6 text. Every lookup's name is kept.
class TableHostLookup final : public resolve::HostLookup {
 public:
  std::map<std::string, std::string> names;
  std::map<std::string, std::string> names6;
  std::vector<std::string> asked;

  resolve::HostAddresses FirstAddresses(const std::string& name) override {
    asked.push_back(name);
    resolve::HostAddresses found;
    if (const auto dotted = names.find(name); dotted != names.end())
      found.ipv4 = static_cast<std::uint32_t>(probe::DottedToAddress(dotted->second));
    if (const auto text6 = names6.find(name); text6 != names6.end()) found.ipv6 = probe::ParseAddress6(text6->second);
    return found;
  }
};

}  // namespace tolvane::testing
