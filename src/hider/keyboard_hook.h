#pragma once

// The low-level keyboard hook: the stop key, and keys that type while a run
// asks for them. The hook runs on the input thread and only looks and posts;
// what it saw reaches the GUI thread as InputEvents.

#include <atomic>
#include <cstdint>

#include "options/key_chord.h"
#include "platform/input_hooks.h"

namespace pellucor {

inline constexpr int kVkShift = 0x10;
inline constexpr int kVkControl = 0x11;
inline constexpr int kVkMenu = 0x12;  // Alt, either side
inline constexpr int kVkS = 0x53;
inline constexpr int kVkLWin = 0x5B;
inline constexpr int kVkRWin = 0x5C;
inline constexpr int kVkLControl = 0xA2;
inline constexpr int kVkRControl = 0xA3;
inline constexpr int kVkLMenu = 0xA4;
inline constexpr int kVkRMenu = 0xA5;  // the right Alt: AltGr where the layout has one
inline constexpr int kHcAction = 0;
inline constexpr std::uintptr_t kWmKeyDown = 0x100;
inline constexpr std::uintptr_t kWmKeyUp = 0x101;
inline constexpr std::uintptr_t kWmSysKeyDown = 0x104;
inline constexpr std::uintptr_t kWmSysKeyUp = 0x105;

// True for the key-down of the chord's key while exactly its modifiers are
// held and no Windows key is: with Ctrl+Shift+S, Ctrl+S (Save everywhere) is
// no stop. A chord with Ctrl and Alt takes the left Alt: AltGr (Left Ctrl
// with Right Alt) types letters.
bool IsStopKey(InputHooks& hooks, std::uintptr_t wParam, std::intptr_t lParam, const KeyChord& chord);
// A key-down that types (KeyTypes), with the modifiers held as it went down.
bool IsTypingKey(InputHooks& hooks, std::intptr_t lParam);

// Installed and removed on the GUI thread; called by the system on the input
// thread. What both threads read is atomic.
class KeyboardHook final : public KeyboardListener {
 public:
  explicit KeyboardHook(InputHooks& hooks) : hooks_(hooks) { setStopKey(kDefaultStopKey); }
  ~KeyboardHook() { remove(); }
  KeyboardHook(const KeyboardHook&) = delete;
  KeyboardHook& operator=(const KeyboardHook&) = delete;

  void install();
  void remove();
  // A fresh hook in place of the current one, which Windows may have removed
  // without a word after it once ran too long. The old one goes only once the
  // new one is in, so no key goes unseen; if no new one can be had, the old
  // one stays.
  void reinstall();
  // What installing the hook returned last; 0 when it failed or is removed.
  HookHandle handle() const { return handle_; }
  // How many key events the hook has been called for: a count that stands
  // still while keys are typed means Windows has taken the hook away.
  std::uint32_t eventsSeen() const { return eventsSeen_; }

  // Whether keys that type are reported (a run with "hide as soon as I
  // type"). Off, the hook asks nothing more than it needs for the stop key.
  void watchTyping(bool on) { typingWatched_ = on; }
  bool typingWatched() const { return typingWatched_; }
  // Whether Ctrl pressed and let go alone is reported (a hidden pointer with
  // Windows' rings on).
  void watchCtrlTap(bool on) { ctrlTapWatched_ = on; }
  // The chord that stops a run.
  void setStopKey(const KeyChord& chord);
  KeyChord stopKey() const;

  // KeyboardListener, on the input thread: the stop key, and while typing is
  // watched a key that types, are posted to the GUI thread, and every key
  // goes on down the hook chain and reaches the focused program.
  std::intptr_t onKeyEvent(InputHooks& hooks, int code, std::uintptr_t wParam, std::intptr_t lParam) override;

 private:
  void noteCtrlAlone(InputHooks& hooks, bool down, int key);

  InputHooks& hooks_;
  std::atomic<HookHandle> handle_ = 0;
  std::atomic<bool> typingWatched_ = false;
  std::atomic<bool> ctrlTapWatched_ = false;
  std::atomic<std::uint32_t> eventsSeen_ = 0;
  // The stop key's chord, packed: the key, then Ctrl, Alt, Shift and Win
  // as bits 8 to 11.
  std::atomic<std::uint32_t> stopKey_;
  // The input thread's own: a Ctrl went down and no other key since.
  bool ctrlAlone_ = false;
};

}  // namespace pellucor
