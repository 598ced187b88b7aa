// The version record this executable carries: the program's own .rc.
#include <windows.h>
#include <winver.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<char> OwnVersionInfo() {
  char path[MAX_PATH];
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  DWORD unused = 0;
  const DWORD size = GetFileVersionInfoSizeA(path, &unused);
  std::vector<char> info(size);
  if (size == 0 || !GetFileVersionInfoA(path, 0, size, info.data())) info.clear();
  return info;
}

std::string Text(std::vector<char>& info, const char* name) {
  char* value = nullptr;
  UINT length = 0;
  const std::string key = std::string("\\StringFileInfo\\040904B0\\") + name;
  if (!VerQueryValueA(info.data(), key.c_str(), reinterpret_cast<void**>(&value), &length) || value == nullptr)
    return "(none)";
  return std::string(value);
}

TEST(VersionResource, CarriesVersionOneZeroTenAndTheComments) {
  std::vector<char> info = OwnVersionInfo();
  ASSERT_FALSE(info.empty()) << "no version resource";
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueA(info.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
  EXPECT_EQ(HIWORD(fixed->dwFileVersionMS), 1);
  EXPECT_EQ(LOWORD(fixed->dwFileVersionMS), 0);
  EXPECT_EQ(HIWORD(fixed->dwFileVersionLS), 10);
  EXPECT_EQ(fixed->dwProductVersionMS, fixed->dwFileVersionMS);
  EXPECT_EQ(fixed->dwProductVersionLS, fixed->dwFileVersionLS);
  EXPECT_EQ(Text(info, "Comments"), "Shows the network latency to one host as a chart.");
  EXPECT_EQ(Text(info, "ProductName"), "Tolvane");
  EXPECT_EQ(Text(info, "FileVersion"), "1.0.10");
}

#pragma pack(push, 2)
struct IconGroupHeader {  // GRPICONDIR, as stored in a group icon resource
  WORD reserved;
  WORD type;
  WORD count;
};
#pragma pack(pop)

TEST(VersionResource, CarriesTheNineImageIconAsTheFirstIcon) {
  // Windows shows an executable's first group icon as its own.
  const HRSRC found = FindResourceW(nullptr, L"IDI_ICON1", MAKEINTRESOURCEW(14));  // RT_GROUP_ICON
  ASSERT_NE(found, nullptr) << "no icon: res/tolvane.ico wasn't there at configure time";
  const auto* header = static_cast<const IconGroupHeader*>(LockResource(LoadResource(nullptr, found)));
  ASSERT_NE(header, nullptr);
  EXPECT_EQ(header->type, 1) << "an icon, not a cursor";
  EXPECT_EQ(header->count, 9);
  EXPECT_NE(LoadIconW(GetModuleHandleW(nullptr), L"IDI_ICON1"), nullptr);
}

}  // namespace
