#include "app/engine.h"

#include <utility>

namespace tolvane::ui {

Engine SystemEngine() {
  return {probe::MakeSystemSocketLibrary(), probe::MakeSystemIcmpService(), resolve::MakeSystemHostLookup()};
}

void ViewMessages::Show(const std::string& text, probe::MessageIcon icon) {
  view_.ShowMessage(text, icon == probe::MessageIcon::Exclamation ? RunView::BoxIcon::Warning : RunView::BoxIcon::None);
}

WiredRun::WiredRun(Engine engine, RunView& view, NumberSeparators separators, std::string program)
    : engine_(std::move(engine)),
      messages_(view),
      platform_{*engine_.sockets, *engine_.icmp, messages_},
      resolver_{*engine_.sockets, *engine_.lookup, messages_},
      checker_(platform_),
      run_(checker_, resolver_, view, std::move(separators), std::move(program)) {}

}  // namespace tolvane::ui
