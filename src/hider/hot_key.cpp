#include "hider/hot_key.h"

namespace pellucor::hotKey {

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
  const auto held = [&platform](int vk) { return platform.asyncKeyState(vk) < 0; };
  return held(kVkControl) && held(kVkShift) && !held(kVkMenu) && !held(kVkLWin) && !held(kVkRWin);
}

// Called for every key event of the desktop, so it only looks and posts.
std::intptr_t KeyboardHookProc(Platform& platform, int nCode, std::uintptr_t wParam, std::intptr_t lParam) {
  if (nCode == kHcAction && IsStopKey(platform, wParam, lParam)) platform.postStopKey();
  return platform.callNextHook(KeyboardHookHandle, nCode, wParam, lParam);
}

}  // namespace pellucor::hotKey
