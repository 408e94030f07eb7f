#pragma once

#include <cstdint>

#include "platform/platform.h"

namespace pellucor::modKeyboard {

// Process-wide, as the hook procedure has no other way to reach them. Both
// live on the GUI thread: the hook is called there while it takes messages.
// 0 = false, -1 = true.
inline std::int16_t StopRequested = 0;
// What installing the hook returned; kept after the hook is removed.
inline HookHandle KeyboardHookHandle = 0;

inline constexpr int kVkControl = 0x11;
inline constexpr int kVkMenu = 0x12;  // Alt, either side
inline constexpr int kVkS = 0x53;
inline constexpr int kHcAction = 0;
inline constexpr std::uintptr_t kWmKeyDown = 0x100;
inline constexpr std::uintptr_t kWmSysKeyDown = 0x104;

void InstallKeyboardHook(Platform& platform);
void RemoveKeyboardHook(Platform& platform);
// A fresh hook in place of the current one, which Windows may have removed
// without a word after it once ran too long. The old one goes only once the
// new one is in, so no key goes unseen; if no new one can be had, the old
// one stays.
void ReinstallKeyboardHook(Platform& platform);
// True for the key-down of S while Ctrl is held and Alt is not (AltGr is
// Ctrl+Alt and types letters). Shift is not looked at.
bool IsStopKey(Platform& platform, std::uintptr_t wParam, std::intptr_t lParam);
// The low-level keyboard procedure: the stop key asks the running start
// handler to stop; every key, that one too, reaches the focused program.
std::intptr_t KeyboardHookProc(Platform& platform, int nCode, std::uintptr_t wParam, std::intptr_t lParam);

}  // namespace pellucor::modKeyboard
