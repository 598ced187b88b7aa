// The engine as a window uses it: the system's services (or a test's
// fakes), wired up for one window's ping run. Both windows get their run
// from here.
#pragma once

#include <memory>
#include <string>

#include "app/run.h"
#include "probe/platform.h"
#include "probe/probe.h"
#include "resolve/resolve.h"

namespace tolvane::ui {

// What the window probes and looks names up with.
struct Engine {
  std::unique_ptr<probe::SocketLibrary> sockets;
  std::unique_ptr<probe::IcmpService> icmp;
  std::unique_ptr<resolve::HostLookup> lookup;
};

// The system's socket library, ICMP echo service and host lookup.
Engine SystemEngine();

// One window's run on an engine: the engine's services, its messages on
// the window, the probe and the name lookup over them, and the run.
class WiredRun final : private probe::MessageSink {
 public:
  // `program` is the program's path, for the permission hint.
  WiredRun(Engine engine, RunView& view, NumberSeparators separators, std::string program);
  WiredRun(const WiredRun&) = delete;
  WiredRun& operator=(const WiredRun&) = delete;

  PingRun& run() { return run_; }

 private:
  // The engine's user messages, shown as the view's message boxes.
  void Show(const std::string& text, probe::MessageIcon icon) override;

  Engine engine_;
  RunView& view_;
  probe::Platform platform_;
  resolve::Resolver resolver_;
  probe::Checker checker_;
  PingRun run_;
};

}  // namespace tolvane::ui
