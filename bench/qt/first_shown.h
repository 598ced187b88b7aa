// For start-up timing: prints "shown <ns>" (CLOCK_MONOTONIC) when the first
// window of the application is exposed, then quits the application.
#pragma once

class QApplication;

namespace tolvane::bench {

void QuitWhenFirstShown(QApplication& app);

}  // namespace tolvane::bench
