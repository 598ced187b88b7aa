// Functions of system DLLs that only some actions need, loaded the first
// time one is asked for: saving an image (GDI+, the save dialog), the tray
// (the shell), the About dialog (the version record). The program's start
// then loads only what every start needs. The DLL comes from the system
// folder by its full path, never from the program's or the current folder.
#pragma once

#include <windows.h>

#include <string>

namespace tolvane::ui::win {

inline HMODULE SystemLibrary(const wchar_t* name) {
  wchar_t folder[MAX_PATH];
  const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return nullptr;
  const std::wstring path = std::wstring(folder, length) + L"\\" + name;
  // Kept loaded: the functions taken from it are kept too.
  return LoadLibraryW(path.c_str());
}

// `name` from the DLL, as a pointer of type F; nullptr when the DLL or the
// function isn't there.
template <typename F>
F* SystemFunction(const wchar_t* library, const char* name) {
  HMODULE module = SystemLibrary(library);
  FARPROC found = module ? GetProcAddress(module, name) : nullptr;
  return reinterpret_cast<F*>(reinterpret_cast<void (*)()>(found));
}

}  // namespace tolvane::ui::win
