// The input thread: a message-only window of its own, the keyboard hooks it
// installed and the raw mouse input registered for that window.
//
// Raw input rather than a low-level mouse hook for the mouse: it is posted,
// so the system never waits for any thread of ours, and it also reports
// injected input, as remote-control tools and KVM switches send it.

#include "platform/win32/input_thread.h"

#include "platform/types.h"
#include "platform/win32/window_class.h"

#include <algorithm>

namespace pellucor::win32 {
namespace {

constexpr wchar_t kInputWindowClass[] = L"Pellucor.Input";

// What the GUI thread asks of the input thread.
constexpr UINT kMsgHookKeyboard = WM_APP + 1;    // lParam: the HOOKPROC; answers the HHOOK
constexpr UINT kMsgUnhookKeyboard = WM_APP + 2;  // lParam: the HHOOK
constexpr UINT kMsgWatchMouse = WM_APP + 3;      // wParam: on; answers TRUE when done

// The input thread only ever answers at once; the bound keeps a GUI thread
// from hanging on a thread that is gone.
constexpr UINT kCallTimeoutMs = 5000;
constexpr DWORD kStartTimeoutMs = 5000;

constexpr USHORT kGenericDesktopPage = 0x01;
constexpr USHORT kMouseUsage = 0x02;

// What the report says the user did: moved (an absolute position, from a
// tablet or a remote session, counts as movement), pressed or let go a
// button, turned a wheel. A relative report of no distance with no button is
// nothing the user did.
unsigned MouseUses(HRAWINPUT handle) {
  RAWINPUT input{};
  UINT size = sizeof input;
  if (GetRawInputData(handle, RID_INPUT, &input, &size, sizeof(RAWINPUTHEADER)) == static_cast<UINT>(-1)) return 0;
  if (input.header.dwType != RIM_TYPEMOUSE) return 0;
  const RAWMOUSE& mouse = input.data.mouse;
  unsigned uses = 0;
  if ((mouse.usFlags & MOUSE_MOVE_ABSOLUTE) || mouse.lLastX != 0 || mouse.lLastY != 0) uses |= kMouseMoved;
  constexpr USHORT kWheels = RI_MOUSE_WHEEL | RI_MOUSE_HWHEEL;
  if (mouse.usButtonFlags & kWheels) uses |= kMouseWheel;
  if (mouse.usButtonFlags & ~kWheels) uses |= kMouseButton;
  return uses;
}

}  // namespace

InputThread::~InputThread() { stop(); }

void InputThread::reportTo(HWND window, UINT mouseInputMessage) {
  mouseInputMessage_ = mouseInputMessage;
  reportWindow_ = window;
}

void InputThread::post(UINT message) const {
  if (const HWND window = reportWindow_.load()) PostMessageW(window, message, 0, 0);
}

HHOOK InputThread::hookKeyboard(HOOKPROC proc) {
  if (!proc || !start()) return nullptr;
  return reinterpret_cast<HHOOK>(call(kMsgHookKeyboard, 0, reinterpret_cast<LPARAM>(proc)));
}

void InputThread::unhookKeyboard(HHOOK hook) {
  if (hook && thread_) call(kMsgUnhookKeyboard, 0, reinterpret_cast<LPARAM>(hook));
}

bool InputThread::watchMouse(bool on) {
  if (!on && !thread_) return true;  // nothing was ever watched
  if (!start()) return false;
  return call(kMsgWatchMouse, on ? 1 : 0, 0) != FALSE;
}

bool InputThread::start() {
  if (thread_) return WaitForSingleObject(ready_.get(), 0) == WAIT_OBJECT_0 && window_ != nullptr;
  ready_.reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  if (!ready_) return false;
  thread_.reset(CreateThread(nullptr, 0, &InputThread::Main, this, 0, nullptr));
  if (!thread_) return false;
  const HANDLE waitFor[] = {ready_.get(), thread_.get()};
  WaitForMultipleObjects(2, waitFor, FALSE, kStartTimeoutMs);
  return WaitForSingleObject(ready_.get(), 0) == WAIT_OBJECT_0 && window_ != nullptr;
}

// No time limit: the thread reaches this object, the platform and the hook's
// owner until it has ended (a key may be in its hook procedure right now),
// so none of them may go before it. It answers everything at once, and a
// hook call the system makes is bounded by LowLevelHooksTimeout.
void InputThread::stop() {
  if (!thread_) return;
  // A thread that start() gave up waiting for makes its window first.
  const HANDLE starting[] = {ready_.get(), thread_.get()};
  WaitForMultipleObjects(2, starting, FALSE, INFINITE);
  const bool made = WaitForSingleObject(ready_.get(), 0) == WAIT_OBJECT_0 && window_;
  // The window's end removes the hooks and the watch; should the close not
  // get through, a quit ends the thread, and its hooks go with it.
  if (made && !PostMessageW(window_, WM_CLOSE, 0, 0)) PostThreadMessageW(GetThreadId(thread_.get()), WM_QUIT, 0, 0);
  WaitForSingleObject(thread_.get(), INFINITE);
  thread_.reset();
  window_ = nullptr;
}

// SMTO_BLOCK: nothing else is dispatched on the GUI thread meanwhile, so no
// handler of ours runs nested inside this call.
LRESULT InputThread::call(UINT message, WPARAM wParam, LPARAM lParam) {
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutW(window_, message, wParam, lParam, SMTO_BLOCK | SMTO_ERRORONEXIT, kCallTimeoutMs, &result))
    return 0;
  return static_cast<LRESULT>(result);
}

DWORD WINAPI InputThread::Main(void* param) {
  auto* self = static_cast<InputThread*>(param);
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  RegisterWindowClass(instance, kInputWindowClass, &InputThread::WindowProc);
  // Message-only: never shown, and left out of broadcasts and enumerations.
  self->window_ = CreateWindowExW(0, kInputWindowClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance, self);
  const bool made = self->window_ != nullptr;
  SetEvent(self->ready_.get());
  if (!made) return 1;
  // Low-level hooks are called from inside GetMessage.
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
  return 0;
}

LRESULT CALLBACK InputThread::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* self = reinterpret_cast<InputThread*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (!self) return DefWindowProcW(window, message, wParam, lParam);
  return self->handle(window, message, wParam, lParam);
}

LRESULT InputThread::handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case kMsgHookKeyboard: {
      const HHOOK hook =
          SetWindowsHookExW(WH_KEYBOARD_LL, reinterpret_cast<HOOKPROC>(lParam), GetModuleHandleW(nullptr), 0);
      if (hook) hooks_.push_back(hook);
      return reinterpret_cast<LRESULT>(hook);
    }
    case kMsgUnhookKeyboard: {
      const auto hook = reinterpret_cast<HHOOK>(lParam);
      const auto it = std::find(hooks_.begin(), hooks_.end(), hook);
      if (it == hooks_.end()) return FALSE;  // not ours, or removed already
      hooks_.erase(it);
      return UnhookWindowsHookEx(hook);
    }
    case kMsgWatchMouse:
      return registerMouse(window, wParam != 0) ? TRUE : FALSE;
    case WM_INPUT:
      onRawInput(reinterpret_cast<HRAWINPUT>(lParam));
      return DefWindowProcW(window, message, wParam, lParam);  // frees the input's buffer
    case WM_CLOSE:
      DestroyWindow(window);
      return 0;
    case WM_DESTROY:
      registerMouse(window, false);
      for (const HHOOK hook : hooks_) UnhookWindowsHookEx(hook);
      hooks_.clear();
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcW(window, message, wParam, lParam);
  }
}

// In the background too (RIDEV_INPUTSINK); removing names no window.
bool InputThread::registerMouse(HWND window, bool on) {
  if (on == watching_) return true;
  RAWINPUTDEVICE device{};
  device.usUsagePage = kGenericDesktopPage;
  device.usUsage = kMouseUsage;
  device.dwFlags = on ? RIDEV_INPUTSINK : RIDEV_REMOVE;
  device.hwndTarget = on ? window : nullptr;
  // What was used before this watch began is no news to it.
  if (on) mouseUses_ = 0;
  const bool done = RegisterRawInputDevices(&device, 1, sizeof device) != FALSE;
  if (done || !on) watching_ = on;
  return done;
}

// Only notes the input and posts one report per burst: the reveal reads
// cursor files and belongs to the GUI thread.
void InputThread::onRawInput(HRAWINPUT input) {
  if (!watching_) return;
  const unsigned uses = MouseUses(input);
  if (uses == 0) return;
  mouseUses_.fetch_or(uses);
  const HWND report = reportWindow_.load();
  if (!report || mouseReportPosted_.exchange(true)) return;
  if (!PostMessageW(report, mouseInputMessage_.load(), 0, 0)) mouseReportPosted_ = false;
}

}  // namespace pellucor::win32
