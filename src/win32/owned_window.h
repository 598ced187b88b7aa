// The window procedure of a window that belongs to a C++ object: the
// object comes with the creation (CreateWindowEx's last argument), is kept
// with the window, learns its handle, and answers every message after but
// the last (WM_NCDESTROY), which sets its handle back to null.
#pragma once

#include <windows.h>

#include <string>

#include "win32/wide_text.h"

namespace tolvane::ui::win {

template <typename Owner, HWND Owner::*handle, LRESULT (Owner::*answer)(UINT, WPARAM, LPARAM)>
LRESULT CALLBACK OwnedWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* created = static_cast<Owner*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(created));
    created->*handle = window;
  }
  auto* owner = reinterpret_cast<Owner*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  if (owner == nullptr) return DefWindowProcW(window, message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    // Gone, with its parent say: the object forgets the handle, and its
    // destructor finds nothing left to destroy.
    SetWindowLongPtrA(window, GWLP_USERDATA, 0);
    owner->*handle = nullptr;
    return DefWindowProcW(window, message, wParam, lParam);
  }
  return (owner->*answer)(message, wParam, lParam);
}

// Registers a plain window class (arrow cursor, nothing else) the first time
// a window of it is made. A wide class: its windows take and give text in
// UTF-16, whatever the ANSI code page. False when it can't be registered.
inline bool RegisterClassOnce(HINSTANCE instance, const char* className, WNDPROC procedure) {
  const std::wstring name = Wide(className);
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  if (GetClassInfoExW(instance, name.c_str(), &wc)) return true;
  wc = WNDCLASSEXW{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = procedure;
  wc.hInstance = instance;
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.lpszClassName = name.c_str();
  return RegisterClassExW(&wc) != 0;
}

}  // namespace tolvane::ui::win
