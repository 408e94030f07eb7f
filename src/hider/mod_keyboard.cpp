#include "hider/mod_keyboard.h"

namespace pellucor::modKeyboard {

void InstallKeyboardHook(Platform& platform) { KeyboardHookHandle = platform.setKeyboardHook(&KeyboardHookProc); }

void RemoveKeyboardHook(Platform& platform) { platform.unhookKeyboard(KeyboardHookHandle); }

void ReinstallKeyboardHook(Platform& platform) {
  const HookHandle old = KeyboardHookHandle;
  const HookHandle fresh = platform.setKeyboardHook(&KeyboardHookProc);
  if (fresh == 0) return;
  KeyboardHookHandle = fresh;
  if (old != 0) platform.unhookKeyboard(old);
}

// Decided from the event itself: inside the hook the asynchronous state of
// the key being pressed is not yet updated, and its "pressed since" bit is
// shared with every program and may be minutes old. Modifiers went down
// before this event, so theirs is current.
bool IsStopKey(Platform& platform, std::uintptr_t wParam, std::intptr_t lParam) {
  if (wParam != kWmKeyDown && wParam != kWmSysKeyDown) return false;
  if (platform.hookEventKey(lParam) != kVkS) return false;
  return platform.asyncKeyState(kVkControl) < 0 && platform.asyncKeyState(kVkMenu) >= 0;
}

// Called for every key event of the desktop, so it only looks and forwards.
std::intptr_t KeyboardHookProc(Platform& platform, int nCode, std::uintptr_t wParam, std::intptr_t lParam) {
  if (nCode != kHcAction) return platform.callNextHook(KeyboardHookHandle, nCode, wParam, lParam);
  if (IsStopKey(platform, wParam, lParam)) {
    // Not handed down the chain; the key itself still reaches the program.
    StopRequested = -1;
    return 0;
  }
  return platform.callNextHook(KeyboardHookHandle, 0, wParam, lParam);
}

}  // namespace pellucor::modKeyboard
