#include "win32/version_record.h"

#include <winver.h>

#include <cstdio>
#include <vector>

#include "win32/png.h"
#include "win32/wide_text.h"

namespace tolvane::ui::about {
namespace {

// In UTF-8, whatever the ANSI code page: the record holds UTF-16.
std::string StringValue(std::vector<char>& info, const char* block, const char* name) {
  const std::wstring key = ui::win::Wide(std::string("\\StringFileInfo\\") + block + "\\" + name);
  wchar_t* value = nullptr;
  UINT length = 0;
  if (!VerQueryValueW(info.data(), key.c_str(), reinterpret_cast<void**>(&value), &length) ||
      value == nullptr || length == 0) {
    return {};
  }
  // The length counts the terminating NUL where there is one.
  const std::wstring_view text(value, length);
  return ui::win::Utf8(text.substr(0, text.find(L'\0')));
}

}  // namespace

std::optional<VersionRecord> ReadVersionRecord(HMODULE module) {
  std::wstring path(ui::win::kLongestPath, L'\0');
  const DWORD pathLength = GetModuleFileNameW(module, path.data(), static_cast<DWORD>(path.size()));
  if (pathLength == 0 || pathLength >= path.size()) return std::nullopt;
  DWORD unused = 0;
  const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &unused);
  if (size == 0) return std::nullopt;
  std::vector<char> info(size);
  if (!GetFileVersionInfoW(path.c_str(), 0, size, info.data())) return std::nullopt;

  VersionRecord record;
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  if (!VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &length) || fixed == nullptr) {
    return std::nullopt;
  }
  record.major = HIWORD(fixed->dwFileVersionMS);
  record.minor = LOWORD(fixed->dwFileVersionMS);
  record.revision = HIWORD(fixed->dwFileVersionLS);

  // The language and code page of the strings; U.S. English Unicode when
  // the record names none.
  char block[9] = "040904B0";
  struct Translation {
    WORD language;
    WORD codePage;
  }* translation = nullptr;
  if (VerQueryValueW(info.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation),
                     &length) &&
      translation != nullptr && length >= sizeof(Translation)) {
    std::snprintf(block, sizeof block, "%04X%04X", translation->language, translation->codePage);
  }
  record.title = StringValue(info, block, "ProductName");
  record.comments = StringValue(info, block, "Comments");
  return record;
}

}  // namespace tolvane::ui::about
