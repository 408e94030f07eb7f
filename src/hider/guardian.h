#pragma once

// The guardian: a second process of this program, started with a private
// switch at the first hide, that puts the user's cursors back if the main
// process ends or hangs while they are blank. It never blanks anything, has
// no window and no tray icon, and ends with the main process.

#include <optional>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace pellucor {

inline constexpr const char* kGuardianSwitch = "/guardian";
// How long the main window may leave a message unanswered before the
// guardian takes it for hung.
inline constexpr double kHungAfterSeconds = 5.0;
// How often the guardian looks while the cursors are blank.
inline constexpr double kGuardianLookSeconds = 1.0;

// The arguments that make a process the guardian of `link`'s main process.
std::string GuardianArguments(const GuardianLink& link);
// The link, when the arguments (without the program's own name) are exactly
// a guardian's; anything else is an ordinary start.
std::optional<GuardianLink> GuardianSwitch(const std::vector<std::string>& args);

// The guardian's whole life, on a platform that has attached the link.
// Returns the process's exit code once the main process has ended.
int RunGuardian(Platform& platform);

}  // namespace pellucor
