#include "win32/chart_export.h"

#include <commdlg.h>

#include <string>

#include "app/chart_style.h"
#include "app/messages.h"
#include "win32/window_ids.h"
#include "win32/png.h"
#include "win32/system_library.h"
#include "win32/wide_text.h"

namespace tolvane::ui::win::chart_export {

namespace {

// The rows that hold a sample of the run, onto the clipboard as text.
void CopyCsv(HWND owner, const ChartModel& model) {
  // Text on the Windows clipboard ends its lines with CR LF.
  std::string csv;
  for (char c : model.Csv()) {
    if (c == '\n') csv += '\r';
    csv += c;
  }
  const std::wstring wide = Wide(csv);
  const SIZE_T bytes = (wide.size() + 1) * sizeof(wchar_t);  // with its NUL
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
  if (!memory) return;
  auto* to = static_cast<wchar_t*>(GlobalLock(memory));
  if (to) {
    CopyMemory(to, wide.c_str(), bytes);
    GlobalUnlock(memory);
  }
  if (!to || !OpenClipboard(owner)) {
    GlobalFree(memory);
    return;
  }
  EmptyClipboard();
  // Once set, the memory is the clipboard's.
  const bool set = SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
  CloseClipboard();
  if (!set) GlobalFree(memory);
}

// Asks where to save `image` (the system's dialog adds ".png" to a name
// typed without one), and before it replaces a file, naming it; then saves
// it there. A save that failed is told, with the system's reason.
void SaveImageAs(HWND owner, HBITMAP image) {
  // Room for the longest path Windows takes, not MAX_PATH: a deep folder
  // is not cut short.
  std::wstring path = Wide(chart::kSaveImageName);
  path.resize(kLongestPath);
  const std::wstring filter = Wide(chart::kSaveImageFilter) + L'\0' + L"*.png" + L'\0';
  const std::wstring title = Wide(chart::kSaveImageTitle);
  OPENFILENAMEW dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = owner;
  dialog.lpstrFilter = filter.c_str();
  dialog.lpstrFile = path.data();
  dialog.nMaxFile = static_cast<DWORD>(path.size());
  dialog.lpstrTitle = title.c_str();
  dialog.lpstrDefExt = L"png";
  // Whether to replace a file is asked below, naming the file that will be
  // written: a dialog may read quotes as a list of names (Wine's gives
  // best.png for `my "best" run.png`) and ask about "the file" unnamed.
  dialog.Flags = OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR | OFN_HIDEREADONLY;
  // The dialog's DLL is loaded with the first save, not at the start.
  static const auto saveDialog = SystemFunction<decltype(&GetSaveFileNameW)>(L"comdlg32.dll", "GetSaveFileNameW");
  if (!saveDialog || !saveDialog(&dialog)) return;  // cancelled
  path.resize(path.find(L'\0'));
  // The dialog adds its extension only to a name with no dot at all.
  path = Wide(chart::WithPngSuffix(Utf8(path)));
  if (GetFileAttributesW(LongPath(path).c_str()) != INVALID_FILE_ATTRIBUTES &&
      MessageBoxW(owner, Wide(chart::ReplaceQuestion(Utf8(path.substr(dialog.nFileOffset)))).c_str(), title.c_str(),
                  MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) != IDYES)
    return;
  std::string reason;
  if (!SavePng(image, path, &reason)) {
    MessageBoxW(owner, Wide(chart::SaveFailedMessage(Utf8(path), reason)).c_str(), Wide(kProgramTitle).c_str(), MB_OK);
  }
}

}  // namespace

void ShowMenu(HWND chart, POINT screen) {
  HMENU menu = CreatePopupMenu();
  for (const auto& [id, text] : {std::pair{kCopyCsv, chart::kCopyCsvText}, std::pair{kSaveImage, chart::kSaveImageText}}) {
    AppendMenuW(menu, MF_STRING, id, Wide(text).c_str());
  }
  TrackPopupMenu(menu, TPM_RIGHTBUTTON, screen.x, screen.y, 0, chart, nullptr);
  DestroyMenu(menu);
}

void Run(HWND chart, WORD command, const ChartModel& model, const std::function<HBITMAP()>& image) {
  if (command == kCopyCsv) CopyCsv(chart, model);
  if (command != kSaveImage) return;
  if (HBITMAP bitmap = image()) {
    SaveImageAs(GetAncestor(chart, GA_ROOT), bitmap);
    DeleteObject(bitmap);
  }
}

}  // namespace tolvane::ui::win::chart_export
