// The main window's controls as both windows make them: name, kind, first
// text, place (in twips from the top left of the client area) and
// alignment, in tab order, and the window's other fixed
// values. The Win32 window's control IDs are part of it: other programs
// (and the Windows tests) find the controls by them.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "app/layout.h"

namespace tolvane::ui::controls {

enum class Kind { Box, Button, Label };
enum class Align { Left, Centre, Right };

enum ControlId : int {
  kGraph = 100,
  kLabel3 = 101,    // "IP:"
  kText1 = 102,     // host box, "127.0.0.1"
  kCommand1 = 103,  // "Ping"
  kLabel1 = 104,    // "How many times?"
  kLabel2 = 105,    // "Int in Sec."
  kDuration = 106,  // count box, "6"
  kInterval = 107,  // interval box, "2"
  kResults = 108,   // "Duration in sec.", then "Min Rt:.. Max Rt:.."
  kCurrent = 109,   // "12ms", "no reply", "Avr:.."
  kCommand5 = 110,  // "&Stop", hidden but while a run goes on
  kCommand4 = 111,  // "&About"
  kCommand3 = 112,  // "&Systray"
  kCommand2 = 113,  // "&Exit"
};

struct Control {
  ControlId id;
  std::string_view name;
  Kind kind;
  std::string_view text;
  layout::Place place;
  Align align = Align::Left;
  bool shown = true;     // "&Stop" shows only during a run
  bool oneLine = false;  // a label that must not wrap onto the box below it
  // A label: the box it names, for screen readers (a Qt buddy; on Windows
  // the label comes just before its box in z-order).
  std::optional<ControlId> names = std::nullopt;
};

// The chart ("graph") comes first in the tab order, before all of these;
// Tab goes round from "&Stop" to it. Labels take no focus.
inline constexpr Control kControls[] = {
    {kText1, "Text1", Kind::Box, "127.0.0.1", {1200, 4080, 1935, 375}},
    {kCommand1, "Command1", Kind::Button, "Ping", {3360, 4080, 1215, 375}},
    {kCommand2, "Command2", Kind::Button, "&Exit", {7680, 4440, 1335, 375}},
    {kDuration, "duration", Kind::Box, "6", {4800, 4440, 975, 375}},
    {kInterval, "interval", Kind::Box, "2", {6240, 4440, 975, 375}},
    {kCommand3, "Command3", Kind::Button, "&Systray", {7680, 3960, 1335, 375}},
    {kCommand4, "Command4", Kind::Button, "&About", {7680, 3480, 1335, 375}},
    {kCommand5, "Command5", Kind::Button, "&Stop", {7680, 3000, 1335, 375}, Align::Left, false},
    {kLabel3, "Label3", Kind::Label, "IP:", {120, 4080, 855, 375}, Align::Right, true, false, kText1},
    {kLabel1, "Label1", Kind::Label, "How many times?", {4800, 4080, 1335, 255}, Align::Left, true, true, kDuration},
    {kLabel2, "Label2", Kind::Label, "Int in Sec.", {6240, 4080, 975, 255}, Align::Centre, true, false, kInterval},
    {kResults, "results", Kind::Label, "Duration in sec.", {120, 4560, 3015, 255}},
    {kCurrent, "Current", Kind::Label, "", {3480, 4560, 975, 375}},
};

// The tray menu's items, in order.
inline constexpr std::string_view kRestoreText = "&Restore";
inline constexpr std::string_view kExitText = "&Exit";

// The window's alpha, of 255, once loaded.
inline constexpr std::uint8_t kOpacity = 210;

// Where the window first stands: its top left corner, in twips from the
// screen's.
inline constexpr int kFirstLeft = 135;
inline constexpr int kFirstTop = 405;

// Timer1's period before a run sets it, in ms.
inline constexpr std::int32_t kFirstTimerPeriod = 10000;

}  // namespace tolvane::ui::controls
