// The program in front: the image of the foreground window's process and of
// the processes whose windows it holds, and a WinEvent hook that tells the
// run when another window comes to the front.
// The hook is out of context: Windows posts its events to this (the GUI)
// thread and never waits on it.

#include <algorithm>
#include <string>
#include <vector>

#include "platform/win32/system_library.h"
#include "platform/win32/text.h"
#include "platform/win32/win32_platform.h"

namespace pellucor::win32 {
namespace {

// Whom the hook serves: a WinEvent procedure gets no context of its own.
Win32Platform* g_foregroundWatcher = nullptr;

// The file name of a process's image; empty when it cannot be read.
std::string ImageFileName(DWORD pid) {
  // Limited information is granted for elevated processes too.
  const UniqueHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid));
  if (!process) return {};
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    DWORD length = static_cast<DWORD>(path.size());
    if (QueryFullProcessImageNameW(process.get(), 0, path.data(), &length)) {
      path.resize(length);
      break;
    }
    if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || path.size() > 32768) return {};
    path.resize(path.size() * 2);
  }
  const std::size_t slash = path.find_last_of(L"\\/");
  return Narrow(slash == std::wstring::npos ? path : path.substr(slash + 1));
}

struct ChildSearch {
  DWORD owner = 0;  // the front window's process
  std::vector<DWORD> others;
};

BOOL CALLBACK NoteChildOfAnotherProcess(HWND child, LPARAM search) {
  auto& s = *reinterpret_cast<ChildSearch*>(search);
  DWORD pid = 0;
  if (GetWindowThreadProcessId(child, &pid) && pid != 0 && pid != s.owner &&
      std::find(s.others.begin(), s.others.end(), pid) == s.others.end())
    s.others.push_back(pid);
  return TRUE;
}

}  // namespace

std::string Win32Platform::foregroundProgram() {
  const HWND front = GetForegroundWindow();
  DWORD pid = 0;
  if (!front || !GetWindowThreadProcessId(front, &pid) || pid == 0) return {};
  return ImageFileName(pid);
}

std::vector<std::string> Win32Platform::foregroundChildPrograms() {
  const HWND front = GetForegroundWindow();
  ChildSearch search;
  if (!front || !GetWindowThreadProcessId(front, &search.owner)) return {};
  EnumChildWindows(front, &NoteChildOfAnotherProcess, reinterpret_cast<LPARAM>(&search));
  std::vector<std::string> programs;
  for (const DWORD pid : search.others) {
    std::string name = ImageFileName(pid);
    if (!name.empty()) programs.push_back(std::move(name));
  }
  return programs;
}

namespace {

// The desktop behind every window, and the taskbars: they cover a monitor
// without filling it with a program.
bool IsDesktopOrShell(HWND window) {
  if (window == GetDesktopWindow() || window == GetShellWindow()) return true;
  wchar_t name[32] = {};
  GetClassNameW(window, name, 32);
  for (const wchar_t* shell : {L"Progman", L"WorkerW", L"Shell_TrayWnd", L"Shell_SecondaryTrayWnd"}) {
    if (CompareStringOrdinal(name, -1, shell, -1, FALSE) == CSTR_EQUAL) return true;
  }
  return false;
}

// QUERY_USER_NOTIFICATION_STATE's values that say a program fills the screen.
ShellState ShellStateNow() {
  using Query = HRESULT(WINAPI*)(int*);
  const auto query = SystemFunction<Query>(L"shell32.dll", "SHQueryUserNotificationState");
  int state = 0;
  if (!query || FAILED(query(&state))) return ShellState::Normal;
  switch (state) {
    case 2:  // QUNS_BUSY: a full-screen program, or presentation settings
      return ShellState::Busy;
    case 3:  // QUNS_RUNNING_D3D_FULL_SCREEN
      return ShellState::FullScreenDirect3D;
    case 4:  // QUNS_PRESENTATION_MODE
      return ShellState::Presentation;
    default:
      return ShellState::Normal;
  }
}

}  // namespace

ScreenUse Win32Platform::foregroundScreenUse() {
  ScreenUse use;
  use.shell = ShellStateNow();
  const HWND front = GetForegroundWindow();
  if (!front) return use;
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  RECT window{};
  const HMONITOR on = MonitorFromWindow(front, MONITOR_DEFAULTTONULL);
  if (!on || !GetMonitorInfoW(on, &monitor) || !GetWindowRect(front, &window)) return use;
  // A maximised window with its title bar is a window at work, not a program
  // filling the screen, even where an auto-hidden taskbar lets it cover the
  // whole monitor.
  const bool framed = IsZoomed(front) || (GetWindowLongPtrW(front, GWL_STYLE) & WS_CAPTION) == WS_CAPTION;
  use.coversMonitor = !framed && window.left <= monitor.rcMonitor.left && window.top <= monitor.rcMonitor.top &&
                      window.right >= monitor.rcMonitor.right && window.bottom >= monitor.rcMonitor.bottom;
  use.desktopOrShell = IsDesktopOrShell(front);
  return use;
}

void CALLBACK Win32Platform::ForegroundEventProc(HWINEVENTHOOK, DWORD, HWND, LONG, LONG, DWORD, DWORD) {
  if (Win32Platform* self = g_foregroundWatcher)
    self->deliver(self->inputEvents_, [](InputEvents& e) { e.onForegroundChanged(); });
}

void Win32Platform::watchForeground(bool on) {
  if (on == (foregroundHook_ != nullptr)) return;
  if (on) {
    g_foregroundWatcher = this;
    // Our own windows coming forward are no other program.
    foregroundHook_ =
        SetWinEventHook(EVENT_SYSTEM_FOREGROUND, EVENT_SYSTEM_FOREGROUND, nullptr, &Win32Platform::ForegroundEventProc,
                        0, 0, WINEVENT_OUTOFCONTEXT | WINEVENT_SKIPOWNPROCESS);
  } else {
    UnhookWinEvent(foregroundHook_);
    foregroundHook_ = nullptr;
    if (g_foregroundWatcher == this) g_foregroundWatcher = nullptr;
  }
}

}  // namespace pellucor::win32
