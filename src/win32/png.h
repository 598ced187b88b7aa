// A GDI bitmap written out as a PNG file, through GDI+ (a system DLL).
#pragma once

#include <windows.h>

#include <cstddef>
#include <string>

namespace tolvane::ui::win {

// The longest path Windows' wide file calls take, with its NUL.
inline constexpr std::size_t kLongestPath = 32768;

// `path` as the wide file calls take it at any length: a full path of
// MAX_PATH or more gets the \\?\ prefix that lifts the limit.
std::wstring LongPath(const std::wstring& path);

// Whole or not at all: false, and the system's reason (UTF-8), when the file
// can't be written (no such folder, no right to it, a full disk); a file of
// that name then stays as it was. Paths of any length and in any script.
bool SavePng(HBITMAP bitmap, const std::wstring& path, std::string* reason);

}  // namespace tolvane::ui::win
