// Reaching the main window's controls by name, as the window tests do.
#pragma once

#include <QLineEdit>
#include <QObject>
#include <QString>
#include <QtGlobal>

namespace tolvane::ui::test {

template <typename T>
T* ChildOf(const QObject* window, const char* name) {
  T* child = window->findChild<T*>(name);
  if (child == nullptr) qFatal("no child %s", name);
  return child;
}

// The host, count and interval boxes, typed in.
inline void TypeRun(const QObject* window, const QString& host, const QString& count, const QString& seconds) {
  ChildOf<QLineEdit>(window, "Text1")->setText(host);
  ChildOf<QLineEdit>(window, "duration")->setText(count);
  ChildOf<QLineEdit>(window, "interval")->setText(seconds);
}

}  // namespace tolvane::ui::test
