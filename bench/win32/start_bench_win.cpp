// Figures for tolvane.exe: the time from start to its window being shown,
// against a bare window of the same frame and manifest, and against that
// frame holding the same standard controls, translucent as the program is
// (what any such window costs: the common controls' library and the
// controls themselves). Median of 11 starts each, in turns. Then the working
// set after a run of 50 samples. Prints them; fails only when it could not
// measure.
//   start_bench.exe PATH\tolvane.exe
#include <windows.h>

#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "app/controls.h"
#include "app/twips.h"
#include "win32/window_ids.h"

namespace {

using tolvane::ui::win::kMainClass;
constexpr char kBareClass[] = "TolvaneBenchBare";
constexpr int kRepeats = 11;

// The bare window: the same tool frame and client size, nothing inside.
// Furnished, it also holds the program's standard controls at their
// places and is as translucent as the program.
int RunBareWindow(bool furnished) {
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
  HWND window = CreateWindowExA(WS_EX_TOOLWINDOW | (furnished ? WS_EX_LAYERED : 0), kBareClass, "Bare", style, 9, 27,
                                frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr, wc.hInstance,
                                nullptr);
  if (furnished) {
    using namespace tolvane::ui::controls;
    for (const Control& c : kControls) {
      const char* cls = c.kind == Kind::Box ? "Edit" : c.kind == Kind::Button ? "Button" : "Static";
      const auto r = tolvane::ui::layout::Scaled(c.place, 96);
      CreateWindowExA(c.kind == Kind::Box ? WS_EX_CLIENTEDGE : 0, cls, std::string(c.text).c_str(),
                      WS_CHILD | (c.shown ? WS_VISIBLE : 0), r.left, r.top, r.width, r.height, window, nullptr,
                      wc.hInstance, nullptr);
    }
    SetLayeredWindowAttributes(window, 0, kOpacity, LWA_ALPHA);
  }
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

// The process's visible window of class `cls` (another copy's doesn't count).
HWND VisibleWindowOf(DWORD process, const char* cls) {
  for (HWND w = FindWindowExA(nullptr, nullptr, cls, nullptr); w; w = FindWindowExA(nullptr, w, cls, nullptr)) {
    DWORD owner = 0;
    GetWindowThreadProcessId(w, &owner);
    if (owner == process && IsWindowVisible(w)) return w;
  }
  return nullptr;
}

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
    HWND window = VisibleWindowOf(s.process.dwProcessId, cls);
    if (window != nullptr) {
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

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

// One kind of window to start: its command and its class; its times.
struct Contender {
  std::string command;
  const char* cls;
  std::vector<double> seconds;
};

// All of them started in turns, so that whatever else the machine does
// weighs on each alike. False when one didn't show.
bool MeasureInTurns(std::vector<Contender>& contenders) {
  for (int i = 0; i < kRepeats; ++i) {
    for (Contender& c : contenders) {
      Started s = Start(c.command, c.cls);
      Stop(s);
      if (s.seconds < 0) {
        std::fprintf(stderr, "%s: no window within 20 s\n", c.command.c_str());
        return false;
      }
      c.seconds.push_back(s.seconds);
    }
  }
  return true;
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
  if (argc == 2 && std::string(argv[1]) == "--bare") return RunBareWindow(false);
  if (argc == 2 && std::string(argv[1]) == "--furnished") return RunBareWindow(true);
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
  const std::string bench = "\"" + std::string(self) + "\"";
  std::vector<Contender> windows{{"\"" + program + "\"", kMainClass, {}},
                                 {bench + " --bare", kBareClass, {}},
                                 {bench + " --furnished", kBareClass, {}}};
  if (!MeasureInTurns(windows)) return 1;
  const double tolvane = Median(windows[0].seconds), bare = Median(windows[1].seconds),
               furnished = Median(windows[2].seconds);
  std::printf("start to window shown, median of %d in turns: tolvane %.0f ms, bare window %.0f ms, ratio %.2f\n",
              kRepeats, tolvane * 1000, bare * 1000, tolvane / bare);
  std::printf("  the bare window with the same controls, translucent: %.0f ms, ratio %.2f\n", furnished * 1000,
              furnished / bare);
  const SIZE_T workingSet = WorkingSetAfterRun(program);
  if (workingSet == 0) {
    std::fprintf(stderr, "the 50-sample run did not end\n");
    return 1;
  }
  std::printf("working set after a 50-sample run: %.1f MiB\n", static_cast<double>(workingSet) / (1024.0 * 1024.0));
  return 0;
}
