// A GDI bitmap written out as a PNG file, through GDI+ (a system DLL).
#pragma once

#include <windows.h>

#include <string>

namespace tolvane::ui::win {

// False when the file can't be written (no such folder, no right to it).
bool SavePng(HBITMAP bitmap, const std::wstring& path);

}  // namespace tolvane::ui::win
