// Where the main window's parts stand, in twips from the top left of the
// client area. Both windows (Qt and Win32) take their rectangles from here.
#pragma once

#include "app/twips.h"

namespace tolvane::ui::layout {

constexpr Place kClientArea{0, 0, 9135, 4995};

constexpr Place kCommand5{7680, 3000, 1335, 375};
constexpr Place kCommand4{7680, 3480, 1335, 375};
constexpr Place kCommand3{7680, 3960, 1335, 375};
constexpr Place kInterval{6240, 4440, 975, 375};
constexpr Place kDuration{4800, 4440, 975, 375};
constexpr Place kCommand2{7680, 4440, 1335, 375};
constexpr Place kCommand1{3360, 4080, 1215, 375};
constexpr Place kText1{1200, 4080, 1935, 375};
constexpr Place kGraph{0, 0, 9135, 3975};
constexpr Place kLabel3{120, 4080, 855, 375};
constexpr Place kCurrent{3480, 4560, 975, 375};
constexpr Place kResults{120, 4560, 3015, 255};
constexpr Place kLabel2{6240, 4080, 975, 255};
constexpr Place kLabel1{4800, 4080, 1335, 255};

}  // namespace tolvane::ui::layout
