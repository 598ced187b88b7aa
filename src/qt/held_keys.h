// Keys count in the window that saw them go down. The X server repeats a
// held key to whichever window has the keyboard, so a key held down while
// a menu or a dialog opens (held by a hand, or left down by an input tool
// that pressed it through the server and sent its release elsewhere) would
// reach the new window as a stream of presses: a held Esc closes every
// menu the moment it opens. Repeats of a key are dropped in every window
// but the one that got its press; a fresh press counts anywhere.
#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>

#include <cstdint>
#include <map>

namespace tolvane::ui {

class HeldKeyFilter : public QObject {
 public:
  using QObject::QObject;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // Each key's window of its last fresh press; null once that has gone.
  std::map<std::uint64_t, QPointer<QWidget>> pressedIn_;
  // The last release: with a press of the same key at the same time it is
  // the server's repeat, even when Qt has not marked it so.
  std::uint64_t releasedCode_ = 0;
  quint64 releasedAt_ = 0;
};

// Puts a HeldKeyFilter on the application, owned by it.
void DropKeysHeldElsewhere(QObject& application);

}  // namespace tolvane::ui
