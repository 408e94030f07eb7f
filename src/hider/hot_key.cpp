#include "hider/hot_key.h"

#include "options/typing.h"

namespace pellucor::hotKey {

void InstallKeyboardHook(InputHooks& hooks) { KeyboardHookHandle = hooks.setKeyboardHook(&KeyboardHookProc); }

void RemoveKeyboardHook(InputHooks& hooks) { hooks.unhookKeyboard(KeyboardHookHandle); }

void ReinstallKeyboardHook(InputHooks& hooks) {
  const HookHandle old = KeyboardHookHandle;
  const HookHandle fresh = hooks.setKeyboardHook(&KeyboardHookProc);
  if (fresh == 0) return;
  KeyboardHookHandle = fresh;
  if (old != 0) hooks.unhookKeyboard(old);
}

// Decided from the event itself: inside the hook the asynchronous state of
// the key being pressed is not yet updated, and its "pressed since" bit is
// shared with every program and may be minutes old. Modifiers went down
// before this event, so theirs is current.
bool IsStopKey(InputHooks& hooks, std::uintptr_t wParam, std::intptr_t lParam) {
  if (wParam != kWmKeyDown && wParam != kWmSysKeyDown) return false;
  if (hooks.hookEventKey(lParam) != kVkS) return false;
  const auto held = [&hooks](int vk) { return hooks.asyncKeyState(vk) < 0; };
  return held(kVkControl) && held(kVkShift) && !held(kVkMenu) && !held(kVkLWin) && !held(kVkRWin);
}

bool IsTypingKey(InputHooks& hooks, std::intptr_t lParam) {
  const auto held = [&hooks](int vk) { return hooks.asyncKeyState(vk) < 0; };
  KeyDown key;
  key.virtualKey = hooks.hookEventKey(lParam);
  key.injected = hooks.hookEventInjected(lParam);
  if (key.injected) return false;
  key.ctrl = held(kVkControl);
  key.alt = held(kVkMenu);
  key.win = held(kVkLWin) || held(kVkRWin);
  return KeyTypes(key);
}

// Called for every key event of the desktop, so it only looks and posts.
std::intptr_t KeyboardHookProc(InputHooks& hooks, int nCode, std::uintptr_t wParam, std::intptr_t lParam) {
  if (nCode == kHcAction && (wParam == kWmKeyDown || wParam == kWmSysKeyDown)) {
    if (IsStopKey(hooks, wParam, lParam)) {
      hooks.postStopKey();
    } else if (TypingWatched && IsTypingKey(hooks, lParam)) {
      hooks.postTypingKey();
    }
  }
  return hooks.callNextHook(KeyboardHookHandle, nCode, wParam, lParam);
}

}  // namespace pellucor::hotKey
