// The tray's orders on a port that records what it is asked.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "app/tray.h"
#include "app/tray_texts.h"

namespace tolvane::ui::tray {
namespace {

struct RecordingPort : TrayPort {
  bool hostTakesIcon = true;
  std::vector<std::string> asked;
  bool ShowIcon(std::string_view tip) override {
    asked.push_back("icon " + std::string(tip));
    return hostTakesIcon;
  }
  void RemoveIcon() override { asked.push_back("remove"); }
  void HideWindow() override { asked.push_back("hide"); }
  void ShowWindow() override { asked.push_back("show"); }
  void CloseWindow() override { asked.push_back("close"); }
  void Tell(std::string_view text) override { asked.push_back("tell " + std::string(text)); }
};

using Steps = std::function<void(Tray&)>;
struct Case {
  const char* name;
  bool hostTakesIcon;
  Steps steps;
  std::vector<std::string> asked;
  bool resident;
};

void Checks(Tray& tray, bool present, int count) {
  for (int i = 0; i < count; ++i) tray.HostChecked(present);
}

TEST(Tray, AsksItsPortInOrder) {
  const std::string up = "icon Tolvane";
  const std::string noTray = "tell " + std::string(kNoTrayMessage);
  const int grace = kHostGraceChecks;
  const Case cases[] = {
      {"systray", true, [](Tray& t) { t.Systray(); }, {up, "hide"}, true},
      {"no host", false, [](Tray& t) { t.Systray(); }, {up, noTray}, false},
      {"restore", true, [](Tray& t) { t.Systray(), t.Restore(); }, {up, "hide", "show", "remove"}, false},
      {"exit", true, [](Tray& t) { t.Systray(), t.Exit(); }, {up, "hide", "remove", "close"}, false},
      {"twice", true, [](Tray& t) { t.Systray(), t.Restore(), t.Systray(); },
       {up, "hide", "show", "remove", up, "hide"}, true},
      {"items while shown", true, [](Tray& t) { t.Restore(), t.Exit(), t.Closing(); }, {"show", "close"}, false},
      {"closed in the tray", true, [](Tray& t) { t.Systray(), t.Closing(), t.Closing(); },
       {up, "hide", "remove"}, false},
      {"host gone for good", true, [=](Tray& t) { t.Systray(), Checks(t, false, grace); },
       {up, "hide", "show", "remove"}, false},
      {"host back in time", true,
       [=](Tray& t) { t.Systray(), Checks(t, false, grace - 1), Checks(t, true, 1), Checks(t, false, grace - 1); },
       {up, "hide"}, true},
      {"host checks while shown", true, [=](Tray& t) { Checks(t, false, grace); }, {}, false},
  };
  for (const Case& c : cases) {
    RecordingPort port;
    port.hostTakesIcon = c.hostTakesIcon;
    Tray tray(port);
    c.steps(tray);
    EXPECT_EQ(port.asked, c.asked) << c.name;
    EXPECT_EQ(tray.resident(), c.resident) << c.name;
  }
}

}  // namespace
}  // namespace tolvane::ui::tray
