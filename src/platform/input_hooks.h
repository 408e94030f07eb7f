#pragma once

// The keyboard hook and the mouse watch. Both live on an input thread of
// their own that does nothing else, so a busy GUI thread never holds up the
// desktop's keys nor gets the hook dropped; what they see reaches the form
// through its queue.

#include <cstdint>

#include "platform/types.h"

namespace pellucor {

class InputHooks;

// What the user does elsewhere on the desktop, and what may have taken the
// hooks away. Called on the GUI thread, from the queue: what the hooks saw is
// posted from their own thread, so it arrives in order.
class InputEvents {
 public:
  // The mouse moved, or a button or the wheel was used, anywhere on the
  // desktop while watchMouse is on: what happened (kMouseMoved, kMouseButton,
  // kMouseWheel) since the last report. At most one report per message.
  virtual void onMouseInput(unsigned uses) = 0;
  // The keyboard hook saw the stop key in some program (postStopKey).
  virtual void onStopKey() = 0;
  // The keyboard hook saw a key that types (postTypingKey).
  virtual void onTypingKey() = 0;
  // Another window came to the front while Desktop::watchForeground is on.
  virtual void onForegroundChanged() = 0;
  // A hot key registered with registerHotKey was pressed, in any program.
  virtual void onHotKey(int id) = 0;
  // The keyboard hook saw Ctrl pressed and let go with no other key
  // (postCtrlTap).
  virtual void onCtrlTap() = 0;
  // The session was unlocked or the machine woke from sleep: Windows may
  // have dropped the keyboard hook meanwhile.
  virtual void onSessionResumed() = 0;

 protected:
  ~InputEvents() = default;
};

// The owner of a low-level keyboard hook. Called on the input thread for
// every key event of the desktop; it may only look and post (postStopKey,
// postTypingKey), and returns what the rest of the chain answered.
class KeyboardListener {
 public:
  virtual std::intptr_t onKeyEvent(InputHooks& hooks, int code, std::uintptr_t wParam, std::intptr_t lParam) = 0;

 protected:
  ~KeyboardListener() = default;
};

class InputHooks {
 public:
  // Where the reports go (InputEvents); null: nowhere.
  virtual void reportInputTo(InputEvents* events) = 0;
  // A low-level keyboard hook for every thread of the desktop, calling
  // `listener`, which must outlive it; 0 on failure.
  virtual HookHandle setKeyboardHook(KeyboardListener& listener) = 0;
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
  // From the hook's thread: InputEvents::onStopKey and onTypingKey, through
  // the GUI queue.
  virtual void postStopKey() = 0;
  virtual void postTypingKey() = 0;
  virtual void postCtrlTap() = 0;
  // A system-wide hot key for the window: the key is then this program's
  // and no other program gets it. False when Windows refuses it (another
  // program holds it). InputEvents::onHotKey(id) when pressed.
  virtual bool registerHotKey(int id, const KeyChord& chord) = 0;
  virtual void unregisterHotKey(int id) = 0;
  // While on, the first mouse input of the desktop (injected input too) is
  // reported through InputEvents::onMouseInput. Off, it costs nothing.
  virtual void watchMouse(bool on) = 0;
  // When the session last had input of any kind (keys, the mouse, touch,
  // injected input too), in the system's millisecond ticks, which wrap.
  virtual std::uint32_t lastInputTick() = 0;

 protected:
  ~InputHooks() = default;
};

}  // namespace pellucor
