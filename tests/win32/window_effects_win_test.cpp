// The drop shadow on a real window of a class of our own.
#include <windows.h>

#include <gtest/gtest.h>

#include "win32/window_effects.h"

namespace tolvane::ui {
namespace {

class ShadowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    WNDCLASSW windowClass{};
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = kClass;
    ASSERT_NE(RegisterClassW(&windowClass), 0);
    first_ = Create();
    second_ = Create();
    ASSERT_NE(first_, nullptr) << "no window: Wine needs a display, or its null driver";
    ASSERT_NE(second_, nullptr);
  }
  void TearDown() override {
    if (first_) DestroyWindow(first_);
    if (second_) DestroyWindow(second_);
    UnregisterClassW(kClass, GetModuleHandleW(nullptr));
  }
  static HWND Create() {
    return CreateWindowExW(0, kClass, L"Tolvane", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr, nullptr,
                           GetModuleHandleW(nullptr), nullptr);
  }
  static ULONG_PTR Style(HWND window) { return GetClassLongPtrW(window, GCL_STYLE); }

  static constexpr const wchar_t* kClass = L"TolvaneShadowTest";
  HWND first_ = nullptr;
  HWND second_ = nullptr;
};

TEST_F(ShadowTest, AddsTheShadowToTheClassKeepingItsOtherStyles) {
  ASSERT_EQ(Style(first_) & CS_DROPSHADOW, 0u);
  AddDropShadow(reinterpret_cast<std::uintptr_t>(first_));
  EXPECT_EQ(Style(first_), static_cast<ULONG_PTR>(CS_HREDRAW | CS_VREDRAW | CS_DROPSHADOW));
  EXPECT_EQ(Style(second_), Style(first_)) << "the style belongs to the class, not the window";
  AddDropShadow(reinterpret_cast<std::uintptr_t>(second_));
  EXPECT_EQ(Style(first_), static_cast<ULONG_PTR>(CS_HREDRAW | CS_VREDRAW | CS_DROPSHADOW)) << "idempotent";
}

TEST(DropShadow, ANoWindowHandleIsIgnored) {
  AddDropShadow(0);  // results are not examined: nothing to do, nothing to crash
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_WINDOW_HANDLE));
}

}  // namespace
}  // namespace tolvane::ui
