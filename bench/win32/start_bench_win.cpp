// Figures for tolvane.exe: the time from start to its window being shown,
// against a bare window of the same frame (median of 5 each), and the
// working set after a run of 50 samples. Prints them; fails only when it
// could not measure.
//   start_bench.exe PATH\tolvane.exe
#include <windows.h>

#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "win32/controls.h"

namespace {

using tolvane::ui::win::kMainClass;
constexpr char kBareClass[] = "TolvaneBenchBare";
constexpr int kRepeats = 5;

// The bare window: the same tool frame and client size, nothing inside.
int RunBareWindow() {
  WNDCLASSA wc{};
  wc.lpfnWndProc = [](HWND w, UINT m, WPARAM wp, LPARAM lp) -> LRESULT {
    if (m == WM_DESTROY) PostQuitMessage(0);
    return DefWindowProcA(w, m, wp, lp);
  };
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = kBareClass;
  RegisterClassA(&wc);
  const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
  RECT frame{0, 0, 609, 333};
  AdjustWindowRectEx(&frame, style, FALSE, WS_EX_TOOLWINDOW);
  HWND window = CreateWindowExA(WS_EX_TOOLWINDOW, kBareClass, "Bare", style, 9, 27, frame.right - frame.left,
                                frame.bottom - frame.top, nullptr, nullptr, wc.hInstance, nullptr);
  ShowWindow(window, SW_SHOW);
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) DispatchMessageA(&message);
  return 0;
}

struct Started {
  PROCESS_INFORMATION process{};
  HWND window = nullptr;
  double seconds = -1;
};

// Starts `command` and waits (at most 20 s) for a visible window of `cls`.
Started Start(const std::string& command, const char* cls) {
  Started s;
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  std::string line = command;
  LARGE_INTEGER frequency, begin, now;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&begin);
  if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &s.process)) {
    return s;
  }
  for (int i = 0; i < 20000; ++i) {
    HWND window = FindWindowA(cls, nullptr);
    if (window != nullptr && IsWindowVisible(window)) {
      QueryPerformanceCounter(&now);
      s.window = window;
      s.seconds = static_cast<double>(now.QuadPart - begin.QuadPart) / static_cast<double>(frequency.QuadPart);
      break;
    }
    Sleep(1);
  }
  return s;
}

void Stop(Started& s) {
  if (s.window) PostMessageA(s.window, WM_CLOSE, 0, 0);
  if (s.process.hProcess) {
    if (WaitForSingleObject(s.process.hProcess, 5000) != WAIT_OBJECT_0) TerminateProcess(s.process.hProcess, 1);
    CloseHandle(s.process.hProcess);
    CloseHandle(s.process.hThread);
  }
}

double MedianStart(const std::string& command, const char* cls) {
  std::vector<double> times;
  for (int i = 0; i < kRepeats; ++i) {
    Started s = Start(command, cls);
    if (s.seconds >= 0) times.push_back(s.seconds);
    Stop(s);
  }
  if (times.size() != kRepeats) return -1;
  std::sort(times.begin(), times.end());
  return times[kRepeats / 2];
}

std::string Text(HWND control) {
  char text[128] = {};
  SendMessageA(control, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
  return text;
}

// A run of 50 samples, 20 ms apart, to 127.0.0.1; the working set once it
// has ended. 0 when the run didn't end within 30 s.
SIZE_T WorkingSetAfterRun(const std::string& program) {
  Started s = Start("\"" + program + "\"", kMainClass);
  if (!s.window) return 0;
  using namespace tolvane::ui::win;
  SendMessageA(GetDlgItem(s.window, kDuration), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("50"));
  SendMessageA(GetDlgItem(s.window, kInterval), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("0.02"));
  SendMessageA(GetDlgItem(s.window, kCommand1), BM_CLICK, 0, 0);
  SIZE_T workingSet = 0;
  for (int i = 0; i < 300; ++i) {
    Sleep(100);
    if (Text(GetDlgItem(s.window, kCurrent)).rfind("Avr:", 0) == 0) {
      PROCESS_MEMORY_COUNTERS counters{};
      counters.cb = sizeof counters;
      if (GetProcessMemoryInfo(s.process.hProcess, &counters, sizeof counters)) workingSet = counters.WorkingSetSize;
      break;
    }
  }
  Stop(s);
  return workingSet;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 2 && std::string(argv[1]) == "--bare") return RunBareWindow();
  if (argc != 2) {
    std::fprintf(stderr, "usage: start_bench PATH\\tolvane.exe\n");
    return 2;
  }
  const std::string program = argv[1];
  char self[MAX_PATH];
  GetModuleFileNameA(nullptr, self, MAX_PATH);

  WIN32_FILE_ATTRIBUTE_DATA file{};
  if (GetFileAttributesExA(program.c_str(), GetFileExInfoStandard, &file)) {
    std::printf("tolvane.exe size: %lu bytes\n", static_cast<unsigned long>(file.nFileSizeLow));
  }
  const double tolvane = MedianStart("\"" + program + "\"", kMainClass);
  const double bare = MedianStart("\"" + std::string(self) + "\" --bare", kBareClass);
  if (tolvane < 0 || bare < 0) {
    std::fprintf(stderr, "a window did not show\n");
    return 1;
  }
  std::printf("start to window shown, median of %d: tolvane %.0f ms, bare window %.0f ms, ratio %.2f\n", kRepeats,
              tolvane * 1000, bare * 1000, tolvane / bare);
  const SIZE_T workingSet = WorkingSetAfterRun(program);
  if (workingSet == 0) {
    std::fprintf(stderr, "the 50-sample run did not end\n");
    return 1;
  }
  std::printf("working set after a 50-sample run: %.1f MiB\n", static_cast<double>(workingSet) / (1024.0 * 1024.0));
  return 0;
}
