#pragma once

// The keyboard hook and the mouse watch. Both live on an input thread of
// their own that does nothing else, so a busy GUI thread never holds up the
// desktop's keys nor gets the hook dropped; what they see reaches the form
// through its queue.

#include <cstdint>

#include "platform/types.h"

namespace pellucor {

class InputHooks;

// A low-level keyboard hook procedure. It runs on the input thread and may
// only look and post (postStopKey, postTypingKey).
using KeyboardProc = std::intptr_t (*)(InputHooks& hooks, int code, std::uintptr_t wParam, std::intptr_t lParam);

class InputHooks {
 public:
  // A low-level keyboard hook for every thread of the desktop; 0 on failure.
  virtual HookHandle setKeyboardHook(KeyboardProc proc) = 0;
  virtual void unhookKeyboard(HookHandle hook) = 0;
  virtual std::intptr_t callNextHook(HookHandle hook, int code, std::uintptr_t wParam, std::intptr_t lParam) = 0;
  // The virtual-key code of the event a keyboard hook was called for.
  virtual int hookEventKey(std::intptr_t lParam) = 0;
  // Inside a keyboard hook, the state before the event being reported: a
  // key that went down earlier reads as down, the event's own key does not.
  virtual std::int16_t asyncKeyState(int virtualKey) = 0;
  // Whether another program sent the event a keyboard hook was called for
  // (an on-screen keyboard, a macro tool) rather than the keyboard.
  virtual bool hookEventInjected(std::intptr_t lParam) = 0;
  // From the hook's thread: FormEvents::onStopKey and onTypingKey, through
  // the GUI queue.
  virtual void postStopKey() = 0;
  virtual void postTypingKey() = 0;
  // While on, the first mouse input of the desktop (injected input too) is
  // reported through FormEvents::onMouseInput. Off, it costs nothing.
  virtual void watchMouse(bool on) = 0;

 protected:
  ~InputHooks() = default;
};

}  // namespace pellucor
