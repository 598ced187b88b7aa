#include "win32/chart_export.h"

#include <commdlg.h>

#include <string>

#include "app/chart_style.h"
#include "app/messages.h"
#include "win32/controls.h"
#include "win32/png.h"
#include "win32/system_library.h"

namespace tolvane::ui::win::chart_export {

void ShowMenu(HWND chart, POINT screen) {
  HMENU menu = CreatePopupMenu();
  for (const auto& [id, text] : {std::pair{kCopyCsv, chart::kCopyCsvText}, std::pair{kSaveImage, chart::kSaveImageText}}) {
    const std::string utf8(text);
    std::wstring wide(utf8.size() + 1, L'\0');
    wide.resize(static_cast<std::size_t>(MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, wide.data(),
                                                             static_cast<int>(wide.size()))));
    AppendMenuW(menu, MF_STRING, id, wide.c_str());
  }
  TrackPopupMenu(menu, TPM_RIGHTBUTTON, screen.x, screen.y, 0, chart, nullptr);
  DestroyMenu(menu);
}

bool Run(HWND chart, WORD command, const ChartModel& model, const std::function<HBITMAP()>& image) {
  if (command == kCopyCsv) CopyCsv(chart, model);
  if (command != kSaveImage) return command == kCopyCsv;
  if (HBITMAP bitmap = image()) {
    SaveImageAs(GetAncestor(chart, GA_ROOT), bitmap);
    DeleteObject(bitmap);
  }
  return true;
}

bool CopyCsv(HWND owner, const ChartModel& model) {
  // Text on the Windows clipboard ends its lines with CR LF.
  std::string csv;
  for (char c : model.Csv()) {
    if (c == '\n') csv += '\r';
    csv += c;
  }
  const int size = static_cast<int>(csv.size()) + 1;
  const int wide = MultiByteToWideChar(CP_UTF8, 0, csv.c_str(), size, nullptr, 0);
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, static_cast<SIZE_T>(wide) * sizeof(wchar_t));
  if (!memory) return false;
  auto* to = static_cast<wchar_t*>(GlobalLock(memory));
  if (to) {
    MultiByteToWideChar(CP_UTF8, 0, csv.c_str(), size, to, wide);
    GlobalUnlock(memory);
  }
  if (!to || !OpenClipboard(owner)) {
    GlobalFree(memory);
    return false;
  }
  EmptyClipboard();
  // Once set, the memory is the clipboard's.
  const bool set = SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
  CloseClipboard();
  if (!set) GlobalFree(memory);
  return set;
}

void SaveImageAs(HWND owner, HBITMAP image) {
  char path[MAX_PATH] = {};
  lstrcpynA(path, std::string(chart::kSaveImageName).c_str(), MAX_PATH);
  const std::string filter = std::string(chart::kSaveImageFilter) + '\0' + "*.png" + '\0';
  const std::string title(chart::kSaveImageTitle);
  OPENFILENAMEA dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = owner;
  dialog.lpstrFilter = filter.c_str();
  dialog.lpstrFile = path;
  dialog.nMaxFile = sizeof path;
  dialog.lpstrTitle = title.c_str();
  dialog.lpstrDefExt = "png";
  // Whether to replace a file is asked below, naming the file that will be
  // written: a dialog may read quotes as a list of names (Wine's gives
  // best.png for `my "best" run.png`) and ask about "the file" unnamed.
  dialog.Flags = OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR | OFN_HIDEREADONLY;
  // The dialog's DLL is loaded with the first save, not at the start.
  static auto* const saveDialog = SystemFunction<decltype(GetSaveFileNameA)>(L"comdlg32.dll", "GetSaveFileNameA");
  if (!saveDialog || !saveDialog(&dialog)) return;  // cancelled
  // The dialog adds its extension only to a name with no dot at all.
  const std::string written = chart::WithPngSuffix(path);
  if (GetFileAttributesA(written.c_str()) != INVALID_FILE_ATTRIBUTES &&
      MessageBoxA(owner, chart::ReplaceQuestion(written.substr(dialog.nFileOffset)).c_str(), title.c_str(),
                  MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) != IDYES)
    return;
  std::string reason;
  if (!SavePng(image, written, &reason)) {
    MessageBoxA(owner, chart::SaveFailedMessage(written, reason).c_str(), kProgramTitle.data(), MB_OK);
  }
}

}  // namespace tolvane::ui::win::chart_export
