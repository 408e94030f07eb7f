// The session's changes the form hears of: an unlock (WM_WTSSESSION_CHANGE)
// and a wake from sleep (WM_POWERBROADCAST, which every top-level window
// gets unasked). Either is when Windows is found to have dropped the hook.

#include <windows.h>

#include "platform/win32/system_library.h"
#include "platform/win32/win32_platform.h"

namespace pellucor::win32 {
namespace {

constexpr DWORD kThisSession = 0;  // NOTIFY_FOR_THIS_SESSION

}  // namespace

// wtsapi32 is no KnownDLL: it comes from the system folder, on first use.
void Win32Platform::watchSession(bool on) {
  if (on == sessionWatched_ || !window_) return;
  if (on) {
    using Register = BOOL(WINAPI*)(HWND, DWORD);
    const auto registerFor = SystemFunction<Register>(L"wtsapi32.dll", "WTSRegisterSessionNotification");
    sessionWatched_ = registerFor && registerFor(window_, kThisSession);
  } else {
    using Unregister = BOOL(WINAPI*)(HWND);
    if (const auto unregister = SystemFunction<Unregister>(L"wtsapi32.dll", "WTSUnRegisterSessionNotification"))
      unregister(window_);
    sessionWatched_ = false;
  }
}

}  // namespace pellucor::win32
