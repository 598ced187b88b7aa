// A GDI bitmap written out as a PNG file, through GDI+ (a system DLL).
#pragma once

#include <windows.h>

#include <string>

namespace tolvane::ui::win {

// Whole or not at all: false, and the system's reason, when the file can't
// be written (no such folder, no right to it, a full disk); a file of that
// name then stays as it was. `path` and `reason` are in the ANSI code page,
// as the save dialog and the message box take them.
bool SavePng(HBITMAP bitmap, const std::string& path, std::string* reason);

}  // namespace tolvane::ui::win
