// Tolvane for Windows: ICMP latency to one host, as a chart.
#include <windows.h>

#include <commctrl.h>
#include <shellapi.h>

#include <string>
#include <vector>

#include "app/command_line.h"
#include "win32/main_window.h"
#include "win32/wide_text.h"

namespace {

// The arguments after the program's name, from the wide command line: a
// host name in any script arrives as typed.
std::vector<std::string> Arguments() {
  int count = 0;
  LPWSTR* args = CommandLineToArgvW(GetCommandLineW(), &count);
  std::vector<std::string> words;
  for (int i = 1; args && i < count; ++i) words.push_back(tolvane::ui::win::Utf8(args[i]));
  LocalFree(args);
  return words;
}

bool WriteTo(HANDLE out, const std::wstring& text) {
  if (out == nullptr || out == INVALID_HANDLE_VALUE) return false;
  DWORD mode = 0, written = 0;
  if (GetConsoleMode(out, &mode)) return WriteConsoleW(out, text.c_str(), static_cast<DWORD>(text.size()), &written, nullptr);
  const std::string bytes = tolvane::ui::win::Utf8(text);  // a file or a pipe
  return WriteFile(out, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

// --help, --version or a refusal: to the output the program was given (a
// file or a pipe), else to the console it was started from, else in a box.
void Say(const tolvane::ui::CommandLine& line) {
  const bool refused = line.action == tolvane::ui::CommandLine::Action::Refuse;
  const DWORD stream = refused ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE;
  const std::wstring text = tolvane::ui::win::Wide(line.text);
  if (WriteTo(GetStdHandle(stream), text)) return;
  if (AttachConsole(ATTACH_PARENT_PROCESS)) {
    HANDLE console = CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                 0, nullptr);
    const bool written = WriteTo(console, text);
    if (console != INVALID_HANDLE_VALUE) CloseHandle(console);
    FreeConsole();
    if (written) return;
  }
  MessageBoxW(nullptr, text.c_str(), L"Tolvane", MB_OK | (refused ? MB_ICONERROR : MB_ICONINFORMATION));
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
  const tolvane::ui::CommandLine line = tolvane::ui::ReadCommandLine(Arguments());
  if (line.action != tolvane::ui::CommandLine::Action::OpenWindow) {
    Say(line);
    return tolvane::ui::ExitStatus(line);
  }
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);
  tolvane::ui::win::MainWindow window(instance);
  if (!window.Open(showCommand, line.boxes)) {
    MessageBoxW(nullptr, L"The window could not be created.", L"Tolvane", MB_OK | MB_ICONERROR);
    return 1;
  }
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    if (window.TranslateDialogKeys(message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return static_cast<int>(message.wParam);
}
