// The GUI thread's message loop: pumping, waiting, timers, message boxes
// and the end of the process.

#include <cmath>

#include "platform/win32/system_cursors.h"
#include "platform/win32/text.h"
#include "platform/win32/win32_platform.h"
#include "resource.h"

namespace pellucor::win32 {

void Win32Platform::dispatch(MSG& message) {
  if (window_ && IsDialogMessageW(window_, &message)) return;  // Tab, Shift+Tab, Enter
  TranslateMessage(&message);
  DispatchMessageW(&message);
}

void Win32Platform::processPendingMessages() {
  rethrowPendingFailure();
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      // Leave it for the loop that owns the thread.
      PostQuitMessage(static_cast<int>(message.wParam));
      return;
    }
    dispatch(message);
    rethrowPendingFailure();
  }
}

int Win32Platform::runMessageLoop() {
  rethrowPendingFailure();
  MSG message;
  for (;;) {
    const BOOL got = GetMessageW(&message, nullptr, 0, 0);
    if (got == 0) return static_cast<int>(message.wParam);
    if (got == -1) return 1;
    dispatch(message);
    rethrowPendingFailure();
  }
}

void Win32Platform::setTimer(int timerId, unsigned ms, TimerEvents& events) {
  if (!SetTimer(window_, static_cast<UINT_PTR>(timerId), ms, nullptr)) return;
  for (auto& [id, owner] : timers_) {
    if (id == timerId) {
      owner = &events;
      return;
    }
  }
  timers_.emplace_back(timerId, &events);
}

void Win32Platform::killTimer(int timerId) {
  KillTimer(window_, static_cast<UINT_PTR>(timerId));
  std::erase_if(timers_, [timerId](const auto& timer) { return timer.first == timerId; });
}

// A WM_TIMER already queued when its timer was killed finds no owner.
void Win32Platform::onTimerMessage(int timerId) {
  for (const auto& [id, owner] : timers_) {
    if (id == timerId) {
      deliver(owner, [timerId](TimerEvents& e) { e.onTimerTick(timerId); });
      return;
    }
  }
}

void Win32Platform::endProcess(int exitCode) {
  // Nothing more reaches the form: destroying the window must not run its
  // focus handling.
  eventsOn_ = false;
  if (window_) DestroyWindow(window_);
  if (systemCursorsHidden_) {
    RestoreSystemCursors();  // ExitProcess runs no destructor of ours
    setCursorsBlankNote(false);
  }
  ExitProcess(static_cast<UINT>(exitCode));
}

// Boxes show today's buttons: Common Controls 6 is active around them alone,
// and loads with the first box rather than at every start.
bool Win32Platform::activateBoxesContext(ULONG_PTR& cookie) {
  if (!boxesContext_) {
    ACTCTXW context{};
    context.cbSize = sizeof context;
    context.dwFlags = ACTCTX_FLAG_HMODULE_VALID | ACTCTX_FLAG_RESOURCE_NAME_VALID;
    context.hModule = instance_;
    context.lpResourceName = MAKEINTRESOURCEW(IDR_BOXES_MANIFEST);
    const HANDLE created = CreateActCtxW(&context);
    if (created != INVALID_HANDLE_VALUE) boxesContext_.reset(created);
  }
  return boxesContext_ && ActivateActCtx(boxesContext_.get(), &cookie);
}

int Win32Platform::messageBox(std::string_view text, std::string_view caption, unsigned style) {
  ULONG_PTR cookie = 0;
  const bool activated = activateBoxesContext(cookie);
  const BoxOpen open(openBoxes_);
  // A language read right to left gets its boxes laid out that way.
  const UINT order = rightToLeft() ? MB_RTLREADING | MB_RIGHT : 0;
  const int result =
      MessageBoxW(window_, Widen(text).c_str(), Widen(caption).c_str(), static_cast<UINT>(style) | order);
  if (activated) DeactivateActCtx(0, cookie);
  rethrowPendingFailure();
  return result;
}

// MWMO_INPUTAVAILABLE: input already in the queue but seen by an earlier
// peek still ends the wait. Sent messages, and with them the low-level
// keyboard hook, are handled inside the call.
void Win32Platform::waitForMessages(double timeoutSeconds) {
  MsgWaitForMultipleObjectsEx(0, nullptr, WaitMilliseconds(timeoutSeconds), QS_ALLINPUT, MWMO_INPUTAVAILABLE);
}

DWORD WaitMilliseconds(double seconds) {
  if (seconds == kForever) return INFINITE;
  constexpr double kLongestMs = static_cast<double>(INFINITE - 1);
  const double ms = std::ceil(seconds * 1000.0);
  return !(ms > 0.0) ? 0 : ms >= kLongestMs ? INFINITE - 1 : static_cast<DWORD>(ms);
}

}  // namespace pellucor::win32
