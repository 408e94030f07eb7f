// The guardian's hidden top-level window. Windows asks a process to close
// through its top-level windows: Restart Manager, for an installer that
// replaces the program's file, and the end of the session. A process with
// none can only be ended by force, and the installer may then ask for a
// restart of the computer. The window answers as the main window does:
// ready at WM_QUERYENDSESSION, asked to close at WM_ENDSESSION or WM_CLOSE;
// the guardian's wait tells the portable code.

#include "platform/win32/win32_platform.h"
#include "platform/win32/window_class.h"

namespace pellucor::win32 {
namespace {

constexpr wchar_t kGuardianWindowClass[] = L"Pellucor.Guardian";

}  // namespace

// Top-level, not message-only: those get no WM_QUERYENDSESSION. Never shown.
void Win32Platform::makeGuardianWindow() {
  RegisterWindowClass(instance_, kGuardianWindowClass, &Win32Platform::GuardianWindowProc);
  guardianWindow_ = CreateWindowExW(WS_EX_TOOLWINDOW, kGuardianWindowClass, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                    instance_, this);
}

LRESULT CALLBACK Win32Platform::GuardianWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* self = reinterpret_cast<Win32Platform*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (self) {
    switch (message) {
      case WM_QUERYENDSESSION:
        return TRUE;  // ready; it goes at WM_ENDSESSION, once no one has refused
      case WM_ENDSESSION:
        if (wParam) self->closeAsked_ = true;
        return 0;
      case WM_CLOSE:
        // Not destroyed here: the guardian puts the cursors back first.
        self->closeAsked_ = true;
        return 0;
      default:
        break;
    }
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

// What was sent or posted to the window meanwhile; broadcasts too, whose
// senders wait for every top-level window.
void Win32Platform::pumpGuardianWindow() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      closeAsked_ = true;
    } else {
      DispatchMessageW(&message);
    }
  }
}

}  // namespace pellucor::win32
