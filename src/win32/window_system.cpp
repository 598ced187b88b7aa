#include "win32/window_system.h"

namespace tolvane::ui::tray {
namespace {

// What the window runs while hooked, and the procedure it had.
WindowProc installed = nullptr;
WNDPROC original = nullptr;
HWND hookedWindow = nullptr;

LRESULT CALLBACK Installed(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (installed == nullptr) return DefWindowProcA(window, message, wParam, lParam);
  return installed(reinterpret_cast<WindowHandle>(window), message, wParam, lParam);
}

std::intptr_t CallOriginal(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                           std::intptr_t lParam) {
  if (original == nullptr) return 0;
  return CallWindowProcA(original, reinterpret_cast<HWND>(window), message, wParam, lParam);
}

}  // namespace

Win32WindowSystem::Win32WindowSystem() = default;

Win32WindowSystem::~Win32WindowSystem() {
  // A window left hooked gets its own procedure back.
  if (hookedWindow != nullptr && IsWindow(hookedWindow) && original != nullptr) {
    SetWindowLongPtrA(hookedWindow, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
  }
  hookedWindow = nullptr;
  original = nullptr;
  installed = nullptr;
}

WindowProc Win32WindowSystem::SetWindowProc(WindowHandle window, WindowProc procedure) {
  const HWND handle = reinterpret_cast<HWND>(window);
  if (procedure == nullptr || !IsWindow(handle)) return nullptr;
  if (procedure == &CallOriginal) {
    // Putting the window's own procedure back.
    if (handle != hookedWindow || original == nullptr) return nullptr;
    SetWindowLongPtrA(handle, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
    const WindowProc replaced = installed;
    installed = nullptr;
    hookedWindow = nullptr;
    original = nullptr;
    return replaced;
  }
  if (hookedWindow != nullptr) {
    // Already ours: only the tray's procedure changes.
    if (handle != hookedWindow) return nullptr;
    const WindowProc replaced = installed;
    installed = procedure;
    return replaced;
  }
  installed = procedure;
  const LONG_PTR previous = SetWindowLongPtrA(handle, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Installed));
  if (previous == 0) {
    installed = nullptr;
    return nullptr;
  }
  original = reinterpret_cast<WNDPROC>(previous);
  hookedWindow = handle;
  return &CallOriginal;
}

TrayMenuOwner* Win32WindowSystem::MenuOwner(WindowHandle window) {
  return reinterpret_cast<HWND>(window) == ownerWindow_ ? owner_ : nullptr;
}

void Win32WindowSystem::SetMenuOwner(HWND window, TrayMenuOwner* owner) {
  ownerWindow_ = window;
  owner_ = owner;
}

}  // namespace tolvane::ui::tray
