// For start-up figures: prints "shown <ns>" (CLOCK_MONOTONIC) when the first
// window of the application is exposed, and quits the application half a
// second later.
#pragma once

class QApplication;

namespace tolvane::bench {

void QuitWhenFirstShown(QApplication& app);

}  // namespace tolvane::bench
