// The low-level keyboard hook. It lives on the input thread, which the
// system calls it on while that thread waits for messages; the portable
// procedure only looks at the key and posts.

#include <atomic>

#include "platform/win32/win32_platform.h"

namespace pellucor::win32 {
namespace {

// Whom the hook serves. A hook procedure gets no context of its own, so the
// trampoline finds both here: set on the GUI thread before each hook goes
// in, read on the input thread.
std::atomic<Win32Platform*> g_hookPlatform{nullptr};
std::atomic<KeyboardListener*> g_hookListener{nullptr};

}  // namespace

// Nothing may unwind into the system. The portable procedure throws nothing
// (it looks at the key and posts); if it ever did, the key still goes on.
LRESULT CALLBACK Win32Platform::KeyboardHookProc(int code, WPARAM wParam, LPARAM lParam) {
  Win32Platform* const platform = g_hookPlatform.load();
  KeyboardListener* const listener = g_hookListener.load();
  if (platform && listener) {
    try {
      return listener->onKeyEvent(*platform, code, wParam, lParam);
    } catch (...) {
    }
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

HookHandle Win32Platform::setKeyboardHook(KeyboardListener& listener) {
  // Every hook calls the one listener: a second one replaces the first's.
  g_hookPlatform = this;
  g_hookListener = &listener;
  return reinterpret_cast<HookHandle>(input_.hookKeyboard(&Win32Platform::KeyboardHookProc));
}

void Win32Platform::unhookKeyboard(HookHandle hook) { input_.unhookKeyboard(reinterpret_cast<HHOOK>(hook)); }

std::intptr_t Win32Platform::callNextHook(HookHandle hook, int code, std::uintptr_t wParam, std::intptr_t lParam) {
  return CallNextHookEx(reinterpret_cast<HHOOK>(hook), code, wParam, lParam);
}

// Only ever asked inside the hook, for the event it was called with.
int Win32Platform::hookEventKey(std::intptr_t lParam) {
  return static_cast<int>(reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam)->vkCode);
}

std::int16_t Win32Platform::asyncKeyState(int virtualKey) { return GetAsyncKeyState(virtualKey); }

bool Win32Platform::hookEventInjected(std::intptr_t lParam) {
  return (reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam)->flags & LLKHF_INJECTED) != 0;
}

std::uint32_t Win32Platform::lastInputTick() {
  LASTINPUTINFO info{};
  info.cbSize = sizeof info;
  return GetLastInputInfo(&info) ? info.dwTime : 0;
}

void Win32Platform::postStopKey() { input_.post(kMsgStopKey); }

void Win32Platform::postTypingKey() { input_.post(kMsgTypingKey); }

void Win32Platform::postCtrlTap() { input_.post(kMsgCtrlTap); }

// Without MOD_NOREPEAT a key held down would hide again and again.
bool Win32Platform::registerHotKey(int id, const KeyChord& chord) {
  if (!window_) return false;
  UINT modifiers = MOD_NOREPEAT;
  if (chord.ctrl) modifiers |= MOD_CONTROL;
  if (chord.alt) modifiers |= MOD_ALT;
  if (chord.shift) modifiers |= MOD_SHIFT;
  if (chord.win) modifiers |= MOD_WIN;
  return RegisterHotKey(window_, id, modifiers, static_cast<UINT>(chord.key)) != FALSE;
}

void Win32Platform::unregisterHotKey(int id) {
  if (window_) UnregisterHotKey(window_, id);
}

// The hook must not outlive the platform it calls into: the input thread,
// and its hooks with it, end first.
void Win32Platform::stopInputThread() {
  input_.stop();
  Win32Platform* self = this;
  if (g_hookPlatform.compare_exchange_strong(self, nullptr)) g_hookListener = nullptr;
}

}  // namespace pellucor::win32
