#include "app/engine.h"

#include <utility>

namespace tolvane::ui {

Engine SystemEngine() {
  return {probe::MakeSystemSocketLibrary(), probe::MakeSystemIcmpService(), resolve::MakeSystemHostLookup()};
}

void WiredRun::Show(const std::string& text, probe::MessageIcon icon) {
  view_.ShowMessage(text, icon == probe::MessageIcon::Exclamation ? RunView::BoxIcon::Warning : RunView::BoxIcon::None);
}

WiredRun::WiredRun(Engine engine, RunView& view, NumberSeparators separators, std::string program)
    : engine_(std::move(engine)),
      view_(view),
      platform_{*engine_.sockets, *engine_.icmp, *this},
      resolver_{*engine_.sockets, *engine_.lookup, *this},
      checker_(platform_),
      run_(checker_, resolver_, view, std::move(separators), std::move(program)) {}

}  // namespace tolvane::ui
