#include "hider/keyboard_hook.h"

#include "options/typing.h"

namespace pellucor {

void KeyboardHook::install() { handle_ = hooks_.setKeyboardHook(*this); }

void KeyboardHook::remove() {
  if (const HookHandle old = handle_.exchange(0)) hooks_.unhookKeyboard(old);
}

void KeyboardHook::reinstall() {
  const HookHandle old = handle_;
  const HookHandle fresh = hooks_.setKeyboardHook(*this);
  if (fresh == 0) return;
  handle_ = fresh;
  if (old != 0) hooks_.unhookKeyboard(old);
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
  key.rightAlt = key.alt && held(kVkRMenu);
  return KeyTypes(key);
}

// Called for every key event of the desktop, so it only looks and posts.
std::intptr_t KeyboardHook::onKeyEvent(InputHooks& hooks, int code, std::uintptr_t wParam, std::intptr_t lParam) {
  eventsSeen_.fetch_add(1, std::memory_order_relaxed);
  if (code == kHcAction && (wParam == kWmKeyDown || wParam == kWmSysKeyDown)) {
    if (IsStopKey(hooks, wParam, lParam)) {
      hooks.postStopKey();
    } else if (typingWatched_ && IsTypingKey(hooks, lParam)) {
      hooks.postTypingKey();
    }
  }
  return hooks.callNextHook(handle_, code, wParam, lParam);
}

}  // namespace pellucor
