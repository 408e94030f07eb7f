#pragma once

// Which key-downs type: the rule that hides the pointer as soon as the user
// types. Decided in the keyboard hook, so it only looks at the event.

namespace pellucor {

struct KeyDown {
  int virtualKey = 0;
  bool injected = false;  // sent by another program: on-screen keyboards, used with the pointer
  bool ctrl = false;      // held when the key went down
  bool alt = false;       // either Alt
  bool win = false;
  bool rightAlt = false;  // the right Alt, which is AltGr on the layouts that have one
};

// Letters, digits, punctuation, Space, Enter, Tab, Backspace, Delete, the
// arrows, Home, End and the Page keys type; modifiers, lock keys, function
// keys, Escape, media and browser keys, and the input-method and OEM keys
// that make no character do not. Nothing types while a Windows key, or Ctrl
// or Alt alone, is held; Ctrl with the right Alt is AltGr, which types, while
// Ctrl with the left Alt makes shortcuts. No injected key types.
bool KeyTypes(const KeyDown& key);

}  // namespace pellucor
