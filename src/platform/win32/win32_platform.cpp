// The form's window procedure and how its messages reach the portable
// form; the platform's birth and end.

#include "platform/win32/win32_platform.h"

#include "platform/win32/system_cursors.h"

namespace pellucor::win32 {

Win32Platform::Win32Platform(HINSTANCE instance) : instance_(instance) {
  QueryPerformanceFrequency(&counterFrequency_);  // fixed at boot, never fails on XP and later
  chooseLanguage();
}

Win32Platform::~Win32Platform() {
  eventsOn_ = false;
  // However the program ends up here, the user gets the cursors back and no
  // system callback is left pointing at us.
  if (systemCursorsHidden_) {
    RestoreSystemCursors();
    setCursorsBlankNote(false);
  }
  stopInputThread();
  watchForeground(false);
  // The portable procedures may belong to objects already gone: destroying
  // the windows must not call them.
  while (!subclasses_.empty()) {
    const Subclass last = subclasses_.back();
    restoreWindowProc(reinterpret_cast<std::intptr_t>(last.hwnd), reinterpret_cast<WindowProcToken>(last.previous));
  }
  while (!controlWindows_.empty()) destroyControlWindow(reinterpret_cast<std::intptr_t>(controlWindows_.back()));
  // The controls go with the window, before the fonts and brushes they use.
  if (window_) DestroyWindow(window_);
  if (guardianWindow_) DestroyWindow(guardianWindow_);
}

void Win32Platform::holdFailure() noexcept {
  if (!pendingFailure_) pendingFailure_ = std::current_exception();
}

void Win32Platform::rethrowPendingFailure() {
  if (pendingFailure_) std::rethrow_exception(std::exchange(pendingFailure_, nullptr));
}

void Win32Platform::focusArrived(ControlId id) {
  if (id == focus_) return;
  const ControlId previous = focus_;
  const bool previousAnnounced = focusAnnounced_;
  focus_ = id;
  focusAnnounced_ = false;
  if (previous != kNoControl && previousAnnounced)
    deliver(formEvents_, [&](FormEvents& e) { e.onFocusLost(previous); });
  // The lost-focus handler may already have moved the focus on (a field that
  // refuses its text takes it back); then this control never really had it.
  if (id != kNoControl && focus_ == id && !focusAnnounced_) {
    focusAnnounced_ = true;
    deliver(formEvents_, [&](FormEvents& e) { e.onFocusGained(id); });
  }
}

LRESULT CALLBACK Win32Platform::FormProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
    auto* self = static_cast<Win32Platform*>(create->lpCreateParams);
    self->window_ = hwnd;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<Win32Platform*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (!self || self->window_ != hwnd) return DefWindowProcW(hwnd, message, wParam, lParam);
  return self->handleMessage(message, wParam, lParam);
}

LRESULT Win32Platform::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == ShowRequestMessage() && message != 0) {
    deliver(commandEvents_, [](CommandEvents& e) { e.onShowRequest(); });
    return 0;
  }
  constexpr WPARAM kSessionUnlock = 0x8;          // WTS_SESSION_UNLOCK
  constexpr WPARAM kResumeAutomatic = 0x12;       // PBT_APMRESUMEAUTOMATIC: every wake, with or without a user
  constexpr UINT kSessionChangeMessage = 0x02B1;  // WM_WTSSESSION_CHANGE
  switch (message) {
    case WM_ERASEBKGND:
      return onEraseBackground(reinterpret_cast<HDC>(wParam));
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORBTN:
      return onControlColour(message, reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_DRAWITEM:
      return onDrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
    case WM_COMMAND:
      onCommand(reinterpret_cast<HWND>(lParam), HIWORD(wParam));
      return 0;
    case WM_SETCURSOR:
      return onSetCursor(wParam, lParam);
    case WM_SETFOCUS:
      onFocusToWindow();
      return 0;
    case DM_GETDEFID:
      return defaultPushButtonId();
    case WM_SIZE:
      deliver(formEvents_, [](FormEvents& e) { e.onResize(); });
      return 0;
    case WM_TIMER:
      onTimerMessage(static_cast<int>(wParam));
      return 0;
    case kMsgMouseInput:
      onMouseInputMessage();
      return 0;
    case kMsgStopKey:
      deliver(inputEvents_, [](InputEvents& e) { e.onStopKey(); });
      return 0;
    case kMsgTypingKey:
      deliver(inputEvents_, [](InputEvents& e) { e.onTypingKey(); });
      return 0;
    case kMsgCtrlTap:
      deliver(inputEvents_, [](InputEvents& e) { e.onCtrlTap(); });
      return 0;
    case WM_HOTKEY:
      deliver(inputEvents_, [wParam](InputEvents& e) { e.onHotKey(static_cast<int>(wParam)); });
      return 0;
    case WM_SYSCOMMAND:
      if (onSystemCommand(wParam)) return 0;
      return DefWindowProcW(window_, message, wParam, lParam);
    case kSessionChangeMessage:
      if (wParam == kSessionUnlock) deliver(inputEvents_, [](InputEvents& e) { e.onSessionResumed(); });
      return 0;
    case WM_SETTINGCHANGE:
      // A Group Policy refresh names "Policy" to every top-level window.
      if (lParam && CompareStringOrdinal(reinterpret_cast<LPCWSTR>(lParam), -1, L"Policy", -1, TRUE) == CSTR_EQUAL)
        deliver(policyEvents_, [](PolicyEvents& e) { e.onPolicyChanged(); });
      // High contrast turned on or off; the colours' own change may come apart from it.
      if (wParam == SPI_SETHIGHCONTRAST) deliver(formEvents_, [](FormEvents& e) { e.onColoursChanged(); });
      return DefWindowProcW(window_, message, wParam, lParam);
    case WM_POWERBROADCAST:
      if (wParam == kResumeAutomatic) deliver(inputEvents_, [](InputEvents& e) { e.onSessionResumed(); });
      return TRUE;
    case WM_DESTROY:
      watchSession(false);
      return 0;
    case WM_COPYDATA:
      return onCopyData(reinterpret_cast<const COPYDATASTRUCT*>(lParam));
    case WM_CLOSE:
      // Never refused and never left to DefWindowProc: the form ends the
      // process itself through endProcess.
      deliver(formEvents_, [](FormEvents& e) { e.onCloseRequest(); });
      return 0;
    case WM_ENDSESSION:
      // Logging off closes the window like any other close request.
      if (wParam) deliver(formEvents_, [](FormEvents& e) { e.onCloseRequest(); });
      return 0;
    case WM_GETDPISCALEDSIZE: {
      const SIZE size = windowSizeFor(static_cast<UINT>(wParam));
      *reinterpret_cast<SIZE*>(lParam) = size;
      return TRUE;
    }
    case WM_DPICHANGED:
      onDpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
      return 0;
    case WM_NCDESTROY: {
      input_.reportTo(nullptr, 0);
      const LRESULT result = DefWindowProcW(window_, message, wParam, lParam);
      window_ = nullptr;  // the controls went with it
      for (Control& c : controls_) c.hwnd = nullptr;
      return result;
    }
    case WM_SYSCOLORCHANGE:
      rebuildBrushes();
      deliver(formEvents_, [](FormEvents& e) { e.onColoursChanged(); });
      RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
      return 0;
    default:
      return DefWindowProcW(window_, message, wParam, lParam);
  }
}

}  // namespace pellucor::win32
