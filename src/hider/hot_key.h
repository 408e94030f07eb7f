#pragma once

#include <atomic>
#include <cstdint>

#include "platform/input_hooks.h"

namespace pellucor::hotKey {

// Asks the running start handler to end the run: 0 = false, -1 = true. Set
// on the GUI thread only, when the hook's report of the stop key arrives
// there, and by a stop click.
inline std::int16_t StopRequested = 0;
// What installing the hook returned; kept after the hook is removed. Written
// on the GUI thread, read by the hook on the input thread.
inline std::atomic<HookHandle> KeyboardHookHandle = 0;
// Whether keys that type are reported (a run with "hide as soon as I type").
// Set on the GUI thread, read by the hook; off, the hook asks nothing more.
inline std::atomic<bool> TypingWatched = false;

inline constexpr int kVkShift = 0x10;
inline constexpr int kVkControl = 0x11;
inline constexpr int kVkMenu = 0x12;  // Alt, either side
inline constexpr int kVkS = 0x53;
inline constexpr int kVkLWin = 0x5B;
inline constexpr int kVkRWin = 0x5C;
inline constexpr int kHcAction = 0;
inline constexpr std::uintptr_t kWmKeyDown = 0x100;
inline constexpr std::uintptr_t kWmSysKeyDown = 0x104;

void InstallKeyboardHook(InputHooks& hooks);
void RemoveKeyboardHook(InputHooks& hooks);
// A fresh hook in place of the current one, which Windows may have removed
// without a word after it once ran too long. The old one goes only once the
// new one is in, so no key goes unseen; if no new one can be had, the old
// one stays.
void ReinstallKeyboardHook(InputHooks& hooks);
// True for the key-down of S while Ctrl and Shift are held and neither Alt
// nor a Windows key is: Ctrl+S is Save everywhere, and AltGr (Ctrl+Alt)
// types letters.
bool IsStopKey(InputHooks& hooks, std::uintptr_t wParam, std::intptr_t lParam);
// A key-down that types (KeyTypes), with the modifiers held as it went down.
bool IsTypingKey(InputHooks& hooks, std::intptr_t lParam);
// The low-level keyboard procedure, on the input thread: the stop key, and
// while TypingWatched a key that types, are reported to the GUI thread, and
// every key goes on down the hook chain and reaches the focused program.
std::intptr_t KeyboardHookProc(InputHooks& hooks, int nCode, std::uintptr_t wParam, std::intptr_t lParam);

}  // namespace pellucor::hotKey
