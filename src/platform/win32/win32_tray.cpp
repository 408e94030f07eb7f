// The tray control's window, the replacement of its window procedure, and
// the shell's notification area.

#include <windows.h>
// After windows.h, whose types it uses.
#include <shellapi.h>

#include <algorithm>
#include <cstring>

#include "platform/win32/text.h"
#include "platform/win32/win32_platform.h"
#include "platform/win32/window_class.h"
#include "resource.h"

namespace pellucor::win32 {
namespace {

constexpr wchar_t kControlWindowClass[] = L"Pellucor.TrayControl";
// On each window we subclass: the platform that SubclassProc calls into.
constexpr wchar_t kPlatformProperty[] = L"Pellucor.Platform";

HWND AsWindow(std::intptr_t window) { return reinterpret_cast<HWND>(window); }

// `utf8` in the ANSI code page, cut to fit `size` bytes with its NUL, never
// in the middle of a character.
template <std::size_t size>
void CopyText(char (&field)[size], const std::string& utf8) {
  static_assert(size > 0);
  const std::wstring wide = Widen(utf8);
  std::string ansi;
  if (!wide.empty()) {
    const int length = static_cast<int>(wide.size());
    const int needed = WideCharToMultiByte(CP_ACP, 0, wide.data(), length, nullptr, 0, nullptr, nullptr);
    if (needed > 0) {
      ansi.resize(static_cast<std::size_t>(needed));
      WideCharToMultiByte(CP_ACP, 0, wide.data(), length, ansi.data(), needed, nullptr, nullptr);
    }
  }
  const bool utf8Ansi = GetACP() == CP_UTF8;  // the "Use Unicode UTF-8" system setting
  std::size_t used = 0;
  while (used < ansi.size()) {
    std::size_t next = used + 1;
    const auto byte = static_cast<unsigned char>(ansi[used]);
    if (utf8Ansi) {
      while (next < ansi.size() && (static_cast<unsigned char>(ansi[next]) & 0xC0) == 0x80) ++next;
    } else if (IsDBCSLeadByte(byte) && next < ansi.size()) {
      ++next;
    }
    if (next > size - 1) break;
    used = next;
  }
  std::memcpy(field, ansi.data(), used);
  field[used] = '\0';
}

// Whether the ANSI code page holds every character of `utf8`.
bool FitsAnsi(const std::string& utf8) {
  if (GetACP() == CP_UTF8) return true;
  const std::wstring wide = Widen(utf8);
  if (wide.empty()) return true;
  BOOL lost = FALSE;
  WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr,
                      &lost);
  return !lost;
}

// `utf8` cut to fit `size` characters with its NUL, never between the two
// halves of a surrogate pair.
template <std::size_t size>
void CopyText(wchar_t (&field)[size], const std::string& utf8) {
  const std::wstring wide = Widen(utf8);
  std::size_t used = std::min(wide.size(), size - 1);
  if (used > 0 && used < wide.size() && IS_HIGH_SURROGATE(wide[used - 1])) --used;
  std::memcpy(field, wide.data(), used * sizeof(wchar_t));
  field[used] = L'\0';
}

// A fresh, zero-filled record of the version-2 size, ANSI or wide.
template <class NotifyRecord>
NotifyRecord Record(const NotifyIconData& data, std::size_t size) {
  NotifyRecord record;
  std::memset(&record, 0, sizeof record);
  record.cbSize = static_cast<DWORD>(size);
  record.hWnd = AsWindow(data.window);
  record.uID = data.id;
  record.uFlags = data.flags;
  record.uCallbackMessage = data.callbackMessage;
  record.hIcon = reinterpret_cast<HICON>(data.icon);
  CopyText(record.szTip, data.tip);
  record.dwState = data.state;
  record.dwStateMask = data.stateMask;
  CopyText(record.szInfo, data.info);
  record.uTimeout = data.timeout;
  CopyText(record.szInfoTitle, data.infoTitle);
  record.dwInfoFlags = data.infoFlags;
  return record;
}

}  // namespace

// --- The control's window ------------------------------------------------------------------------

// Top-level rather than message-only or a child: only top-level windows get
// the shell's "TaskbarCreated" broadcast.
std::intptr_t Win32Platform::createControlWindow() {
  RegisterWindowClass(instance_, kControlWindowClass, &DefWindowProcW);

  const HWND window = CreateWindowExW(WS_EX_TOOLWINDOW, kControlWindowClass, L"", WS_POPUP, 0, 0, 0, 0, nullptr,
                                      nullptr, instance_, nullptr);
  if (window) controlWindows_.push_back(window);
  return reinterpret_cast<std::intptr_t>(window);
}

void Win32Platform::destroyControlWindow(std::intptr_t window) {
  const HWND hwnd = AsWindow(window);
  const auto it = std::find(controlWindows_.begin(), controlWindows_.end(), hwnd);
  if (it == controlWindows_.end()) return;  // not ours, or gone already
  controlWindows_.erase(it);
  DestroyWindow(hwnd);
}

// --- Window procedures -----------------------------------------------------------------------------

Win32Platform::Subclass* Win32Platform::subclassOf(HWND hwnd) {
  const auto it =
      std::find_if(subclasses_.begin(), subclasses_.end(), [hwnd](const Subclass& s) { return s.hwnd == hwnd; });
  return it == subclasses_.end() ? nullptr : &*it;
}

void Win32Platform::forgetSubclass(HWND hwnd) {
  std::erase_if(subclasses_, [hwnd](const Subclass& s) { return s.hwnd == hwnd; });
  RemovePropW(hwnd, kPlatformProperty);
}

// Every message of a subclassed window comes here and goes to the portable
// procedure, which calls on the previous one itself. A failure is kept and
// thrown again once the message has been dispatched, as for the form.
LRESULT CALLBACK Win32Platform::SubclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* self = static_cast<Win32Platform*>(GetPropW(hwnd, kPlatformProperty));
  const Subclass* subclass = self ? self->subclassOf(hwnd) : nullptr;
  if (!subclass) return DefWindowProcW(hwnd, message, wParam, lParam);
  const Subclass current = *subclass;  // the procedure may restore or replace it meanwhile
  LRESULT result = 0;
  try {
    result = current.proc(*self, reinterpret_cast<std::intptr_t>(hwnd), message, wParam, lParam);
  } catch (...) {
    self->holdFailure();
    // The message still gets the handling it would have had without us.
    result = CallWindowProcW(current.previous, hwnd, message, wParam, lParam);
  }
  // The window is gone: nothing of ours may stay attached to its handle.
  if (message == WM_NCDESTROY) self->forgetSubclass(hwnd);
  return result;
}

// Subclassing a window twice only changes the portable procedure: the token
// stays the original procedure, so calling on it never comes back here.
WindowProcToken Win32Platform::subclassWindow(std::intptr_t window, WindowProc proc) {
  const HWND hwnd = AsWindow(window);
  if (!IsWindow(hwnd) || !proc) return 0;
  if (Subclass* existing = subclassOf(hwnd)) {
    existing->proc = proc;
    return reinterpret_cast<WindowProcToken>(existing->previous);
  }
  if (!SetPropW(hwnd, kPlatformProperty, this)) return 0;
  // Known before the swap: the first message may arrive during it.
  subclasses_.push_back({hwnd, proc, nullptr});
  SetLastError(ERROR_SUCCESS);
  const auto previous = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Win32Platform::SubclassProc)));
  if (!previous && GetLastError() != ERROR_SUCCESS) {
    forgetSubclass(hwnd);
    return 0;
  }
  subclassOf(hwnd)->previous = previous;
  return reinterpret_cast<WindowProcToken>(previous);
}

void Win32Platform::restoreWindowProc(std::intptr_t window, WindowProcToken previous) {
  const HWND hwnd = AsWindow(window);
  if (!previous || !IsWindow(hwnd)) {
    forgetSubclass(hwnd);
    return;
  }
  SetWindowLongPtrW(hwnd, GWLP_WNDPROC, static_cast<LONG_PTR>(previous));
  forgetSubclass(hwnd);
}

std::intptr_t Win32Platform::callWindowProc(WindowProcToken previous, std::intptr_t window, std::uint32_t message,
                                            std::uintptr_t wParam, std::intptr_t lParam) {
  if (!previous) return DefWindowProcW(AsWindow(window), message, wParam, lParam);
  return CallWindowProcW(reinterpret_cast<WNDPROC>(previous), AsWindow(window), message, wParam, lParam);
}

void Win32Platform::setWindowUserData(std::intptr_t window, std::intptr_t data) {
  SetWindowLongPtrW(AsWindow(window), GWLP_USERDATA, data);
}

std::intptr_t Win32Platform::windowUserData(std::intptr_t window) {
  return GetWindowLongPtrW(AsWindow(window), GWLP_USERDATA);
}

std::uint32_t Win32Platform::registerWindowMessage(std::string_view name) {
  return RegisterWindowMessageW(Widen(name).c_str());
}

// The process token's elevation, read once: it never changes.
bool Win32Platform::runsElevated() {
  if (!elevated_) {
    HANDLE token = nullptr;
    TOKEN_ELEVATION elevation{};
    DWORD size = 0;
    const bool read = OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token) &&
                      GetTokenInformation(token, TokenElevation, &elevation, sizeof elevation, &size);
    if (token) CloseHandle(token);
    elevated_ = read && elevation.TokenIsElevated != 0;
  }
  return *elevated_;
}

void Win32Platform::acceptFromLowerRights(std::intptr_t window, std::uint32_t message) {
  if (message != 0) ChangeWindowMessageFilterEx(AsWindow(window), message, MSGFLT_ALLOW, nullptr);
}

// --- The notification area -----------------------------------------------------------------------

// At the small-icon size of the system's scaling (16 px at 100 %, 20, 24,
// 32 at 200 %), from the image drawn for that size: one scaled up blurs.
IconHandle Win32Platform::trayIcon() {
  if (!trayIcon_) {
    const UINT dpi = GetDpiForSystem();
    trayIcon_.reset(static_cast<HICON>(LoadImageW(instance_, MAKEINTRESOURCEW(IDI_TRAY), IMAGE_ICON,
                                                  GetSystemMetricsForDpi(SM_CXSMICON, dpi),
                                                  GetSystemMetricsForDpi(SM_CYSMICON, dpi), LR_DEFAULTCOLOR)));
  }
  return reinterpret_cast<IconHandle>(trayIcon_.get());
}

// The ANSI record in its version-2 size: the layout the program's texts and
// the shell's default notifications are defined for. A text the ANSI code
// page cannot hold (Japanese on a Western system) would reach the shell as
// question marks: that call takes the wide record of the same version.
bool Win32Platform::shellNotifyIcon(std::uint32_t message, const NotifyIconData& data) {
  if (!FitsAnsi(data.tip) || !FitsAnsi(data.info) || !FitsAnsi(data.infoTitle)) {
    NOTIFYICONDATAW wide = Record<NOTIFYICONDATAW>(data, NOTIFYICONDATAW_V2_SIZE);
    return Shell_NotifyIconW(message, &wide) != FALSE;
  }
  NOTIFYICONDATAA record = Record<NOTIFYICONDATAA>(data, NOTIFYICONDATAA_V2_SIZE);
  // The shell waits about 4 s for Explorer and then answers FALSE.
  return Shell_NotifyIconA(message, &record) != FALSE;
}

void Win32Platform::setWindowTimer(std::intptr_t window, unsigned id, unsigned ms) {
  SetTimer(AsWindow(window), id, ms, nullptr);
}

void Win32Platform::killWindowTimer(std::intptr_t window, unsigned id) { KillTimer(AsWindow(window), id); }

}  // namespace pellucor::win32
