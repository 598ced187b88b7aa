#include "win32/version_record.h"

#include <winver.h>

#include <cstdio>
#include <vector>

namespace tolvane::ui::about {
namespace {

std::string StringValue(std::vector<char>& info, const char* block, const char* name) {
  const std::string key = std::string("\\StringFileInfo\\") + block + "\\" + name;
  char* value = nullptr;
  UINT length = 0;
  if (!VerQueryValueA(info.data(), key.c_str(), reinterpret_cast<void**>(&value), &length) ||
      value == nullptr || length == 0) {
    return {};
  }
  // The length counts the terminating NUL where there is one.
  std::string text(value, length);
  const auto end = text.find('\0');
  if (end != std::string::npos) text.resize(end);
  return text;
}

}  // namespace

std::optional<VersionRecord> ReadVersionRecord(HMODULE module) {
  char path[MAX_PATH];
  const DWORD pathLength = GetModuleFileNameA(module, path, MAX_PATH);
  if (pathLength == 0 || pathLength >= MAX_PATH) return std::nullopt;
  DWORD unused = 0;
  const DWORD size = GetFileVersionInfoSizeA(path, &unused);
  if (size == 0) return std::nullopt;
  std::vector<char> info(size);
  if (!GetFileVersionInfoA(path, 0, size, info.data())) return std::nullopt;

  VersionRecord record;
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  if (!VerQueryValueA(info.data(), "\\", reinterpret_cast<void**>(&fixed), &length) || fixed == nullptr) {
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
  if (VerQueryValueA(info.data(), "\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation),
                     &length) &&
      translation != nullptr && length >= sizeof(Translation)) {
    std::snprintf(block, sizeof block, "%04X%04X", translation->language, translation->codePage);
  }
  record.title = StringValue(info, block, "ProductName");
  record.comments = StringValue(info, block, "Comments");
  return record;
}

}  // namespace tolvane::ui::about
