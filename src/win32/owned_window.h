// The window procedure of a window that belongs to a C++ object: the
// object comes with the creation (CreateWindowExA's last argument), is kept
// with the window, learns its handle, and answers every message after.
#pragma once

#include <windows.h>

namespace tolvane::ui::win {

template <typename Owner, HWND Owner::*handle, LRESULT (Owner::*answer)(UINT, WPARAM, LPARAM)>
LRESULT CALLBACK OwnedWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* created = static_cast<Owner*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(created));
    created->*handle = window;
  }
  auto* owner = reinterpret_cast<Owner*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  if (owner == nullptr) return DefWindowProcA(window, message, wParam, lParam);
  return (owner->*answer)(message, wParam, lParam);
}

// Registers a plain window class (arrow cursor, nothing else) the first time
// a window of it is made.
inline void RegisterClassOnce(HINSTANCE instance, const char* name, WNDPROC procedure) {
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof wc;
  if (GetClassInfoExA(instance, name, &wc)) return;
  wc = WNDCLASSEXA{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = procedure;
  wc.hInstance = instance;
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.lpszClassName = name;
  RegisterClassExA(&wc);
}

}  // namespace tolvane::ui::win
