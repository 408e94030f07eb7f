#include "hider/keyboard_hook.h"

#include <utility>

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

void KeyboardHook::setStopKey(const KeyChord& chord) {
  stopKey_ = static_cast<std::uint32_t>(chord.key & 0xFF) | (chord.ctrl ? 0x100u : 0u) | (chord.alt ? 0x200u : 0u) |
             (chord.shift ? 0x400u : 0u) | (chord.win ? 0x800u : 0u);
}

KeyChord KeyboardHook::stopKey() const {
  const std::uint32_t packed = stopKey_;
  return {(packed & 0x100) != 0, (packed & 0x200) != 0, (packed & 0x400) != 0, (packed & 0x800) != 0,
          static_cast<int>(packed & 0xFF)};
}

// Decided from the event itself: inside the hook the asynchronous state of
// the key being pressed is not yet updated, and its "pressed since" bit is
// shared with every program and may be minutes old. Modifiers went down
// before this event, so theirs is current.
bool IsStopKey(InputHooks& hooks, std::uintptr_t wParam, std::intptr_t lParam, const KeyChord& chord) {
  if (wParam != kWmKeyDown && wParam != kWmSysKeyDown) return false;
  if (chord.empty() || hooks.hookEventKey(lParam) != chord.key) return false;
  const auto held = [&hooks](int vk) { return hooks.asyncKeyState(vk) < 0; };
  if (held(kVkControl) != chord.ctrl || held(kVkShift) != chord.shift || held(kVkMenu) != chord.alt) return false;
  if (held(kVkLWin) || held(kVkRWin)) return false;
  return !(chord.ctrl && chord.alt) || held(kVkLMenu);
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
  if (code == kHcAction) {
    const bool down = wParam == kWmKeyDown || wParam == kWmSysKeyDown;
    const bool up = wParam == kWmKeyUp || wParam == kWmSysKeyUp;
    if (down || up) noteCtrlAlone(hooks, down, hooks.hookEventKey(lParam));
    if (down) {
      if (IsStopKey(hooks, wParam, lParam, stopKey())) {
        hooks.postStopKey();
      } else if (typingWatched_ && IsTypingKey(hooks, lParam)) {
        hooks.postTypingKey();
      }
    }
  }
  return hooks.callNextHook(handle_, code, wParam, lParam);
}

// A Ctrl let go with no other key pressed since it went down: Ctrl alone.
void KeyboardHook::noteCtrlAlone(InputHooks& hooks, bool down, int key) {
  const bool ctrl = key == kVkControl || key == kVkLControl || key == kVkRControl;
  if (down) {
    ctrlAlone_ = ctrl;
  } else if (ctrl && std::exchange(ctrlAlone_, false) && ctrlTapWatched_) {
    hooks.postCtrlTap();
  }
}

}  // namespace pellucor
