#include "hider/mod_keyboard.h"

namespace pellucor::modKeyboard {

void InstallKeyboardHook(Platform& platform) { KeyboardHookHandle = platform.setKeyboardHook(&KeyboardHookProc); }

void RemoveKeyboardHook(Platform& platform) { platform.unhookKeyboard(KeyboardHookHandle); }

// Called for every key event of the desktop, so it does no more than two
// key-state queries and keeps nothing between calls.
std::intptr_t KeyboardHookProc(Platform& platform, int nCode, std::uintptr_t wParam, std::intptr_t lParam) {
  if (nCode != kHcAction) return platform.callNextHook(KeyboardHookHandle, nCode, wParam, lParam);
  if (platform.asyncKeyState(kVkControl) < 0) {  // most significant bit: Ctrl is down
    if (platform.asyncKeyState(kVkS) & 1) {      // least significant bit: S pressed since the last query
      StopRequested = -1;
      return 0;
    }
  }
  return platform.callNextHook(KeyboardHookHandle, 0, wParam, lParam);
}

}  // namespace pellucor::modKeyboard
