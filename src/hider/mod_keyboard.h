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
inline constexpr int kVkS = 0x53;
inline constexpr int kHcAction = 0;

void InstallKeyboardHook(Platform& platform);
void RemoveKeyboardHook(Platform& platform);
// The low-level keyboard procedure: Ctrl down and S pressed since the last
// look asks the running start handler to stop. Shift is not looked at.
std::intptr_t KeyboardHookProc(Platform& platform, int nCode, std::uintptr_t wParam, std::intptr_t lParam);

}  // namespace pellucor::modKeyboard
