// The mouse watch: raw input while the cursor is hidden, and only then.
//
// Raw input rather than a low-level mouse hook: it is posted, so the system
// never waits for this thread. A hook would sit in every mouse event of the
// desktop, lag the pointer whenever this thread is busy (an open box, a
// reload of the cursor files) and be dropped without a word after one slow
// call. Raw input also reports injected input, as remote-control tools and
// KVM switches send it.

#include "platform/win32/win32_platform.h"

namespace pellucor::win32 {
namespace {

constexpr USHORT kGenericDesktopPage = 0x01;
constexpr USHORT kMouseUsage = 0x02;

// Movement, a button or the wheel. An absolute position (tablets, remote
// sessions) counts as movement; a relative report of no distance with no
// button is nothing the user did.
bool IsMouseUse(HRAWINPUT handle) {
  RAWINPUT input{};
  UINT size = sizeof input;
  if (GetRawInputData(handle, RID_INPUT, &input, &size, sizeof(RAWINPUTHEADER)) == static_cast<UINT>(-1)) return false;
  if (input.header.dwType != RIM_TYPEMOUSE) return false;
  const RAWMOUSE& mouse = input.data.mouse;
  return (mouse.usFlags & MOUSE_MOVE_ABSOLUTE) || mouse.lLastX != 0 || mouse.lLastY != 0 || mouse.usButtonFlags != 0;
}

}  // namespace

void Win32Platform::watchMouse(bool on) {
  if (on == mouseWatched_ || !window_) return;
  RAWINPUTDEVICE device{};
  device.usUsagePage = kGenericDesktopPage;
  device.usUsage = kMouseUsage;
  // In the background too; removing names no window.
  device.dwFlags = on ? RIDEV_INPUTSINK : RIDEV_REMOVE;
  device.hwndTarget = on ? window_ : nullptr;
  // A refused registration leaves the tick to show the cursor.
  if (RegisterRawInputDevices(&device, 1, sizeof device) || !on) mouseWatched_ = on;
}

// Only notes the input and posts one report: the reveal reads cursor files
// and belongs to the message loop. DefWindowProc frees the input's buffer.
LRESULT Win32Platform::onRawInput(WPARAM wParam, LPARAM lParam) {
  if (mouseWatched_ && !mouseInputPosted_ && IsMouseUse(reinterpret_cast<HRAWINPUT>(lParam))) {
    mouseInputPosted_ = PostMessageW(window_, kMsgMouseInput, 0, 0) != FALSE;
  }
  return DefWindowProcW(window_, WM_INPUT, wParam, lParam);
}

void Win32Platform::onMouseInputMessage() {
  mouseInputPosted_ = false;
  if (mouseWatched_) deliver([](FormEvents& e) { e.onMouseInput(); });
}

}  // namespace pellucor::win32
