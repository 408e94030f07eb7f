// The low-level keyboard hook. The system calls it on the thread that set it,
// while that thread waits for or peeks at messages.

#include "platform/win32/win32_platform.h"

namespace pellucor::win32 {
namespace {

// The one hook of the process and whom it serves. A hook procedure gets no
// context of its own, so the trampoline finds both here; set and cleared on
// the GUI thread only.
struct KeyboardHook {
  HHOOK hook = nullptr;
  Win32Platform* platform = nullptr;
  KeyboardProc proc = nullptr;
};
KeyboardHook g_keyboardHook;

}  // namespace

// Nothing may unwind into the system: a failure of the portable procedure is
// kept and thrown again by the next message pump, and the key goes on.
LRESULT CALLBACK Win32Platform::KeyboardHookProc(int code, WPARAM wParam, LPARAM lParam) {
  const KeyboardHook current = g_keyboardHook;
  if (current.platform && current.proc) {
    try {
      return current.proc(*current.platform, code, wParam, lParam);
    } catch (...) {
      current.platform->holdFailure();
    }
  }
  return CallNextHookEx(current.hook, code, wParam, lParam);
}

HookHandle Win32Platform::setKeyboardHook(KeyboardProc proc) {
  if (!proc) return 0;
  const HHOOK hook = SetWindowsHookExW(WH_KEYBOARD_LL, &Win32Platform::KeyboardHookProc, GetModuleHandleW(nullptr), 0);
  if (!hook) return 0;
  // A second hook replaces the first one's procedure: only one is ever used.
  g_keyboardHook = {hook, this, proc};
  return reinterpret_cast<HookHandle>(hook);
}

void Win32Platform::unhookKeyboard(HookHandle hook) {
  const auto handle = reinterpret_cast<HHOOK>(hook);
  if (!handle) return;
  UnhookWindowsHookEx(handle);
  if (g_keyboardHook.hook == handle) g_keyboardHook = {};
}

std::intptr_t Win32Platform::callNextHook(HookHandle hook, int code, std::uintptr_t wParam, std::intptr_t lParam) {
  return CallNextHookEx(reinterpret_cast<HHOOK>(hook), code, wParam, lParam);
}

// Only ever asked inside the hook, for the event it was called with.
int Win32Platform::hookEventKey(std::intptr_t lParam) {
  return static_cast<int>(reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam)->vkCode);
}

std::int16_t Win32Platform::asyncKeyState(int virtualKey) { return GetAsyncKeyState(virtualKey); }

// The hook must not outlive the platform it calls into.
void Win32Platform::unhookOwnKeyboardHook() {
  if (g_keyboardHook.platform != this) return;
  if (g_keyboardHook.hook) UnhookWindowsHookEx(g_keyboardHook.hook);
  g_keyboardHook = {};
}

}  // namespace pellucor::win32
