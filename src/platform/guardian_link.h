#pragma once

// How the main process names itself to its guardian: the command line that
// makes a process of this program the guardian, or the launcher that starts
// it. Both sides of the seam read it: the back-end starts the process with
// it, and the program's entry picks its part by it.

#include <optional>
#include <string>
#include <vector>

#include "platform/types.h"

namespace pellucor {

inline constexpr const char* kGuardianSwitch = "/guardian";
// A short-lived run of the program that only starts the guardian and ends:
// the guardian is then nobody's child, and ending the program's process tree
// (Task Manager's End task, "End process tree", a job) leaves it running.
inline constexpr const char* kGuardianLauncherSwitch = "/start-guardian";

// Which of the two helper runs a command line asks for.
enum class GuardianRole { Guardian, Launcher };
struct GuardianStart {
  GuardianRole role = GuardianRole::Guardian;
  GuardianLink link;
};

// The arguments that make a process the guardian (or its launcher) of
// `link`'s main process.
std::string GuardianArguments(const GuardianLink& link, GuardianRole role = GuardianRole::Guardian);
// What the arguments (without the program's own name) ask for, when they are
// exactly a guardian's or a launcher's; anything else is an ordinary start.
std::optional<GuardianStart> GuardianSwitch(const std::vector<std::string>& args);

}  // namespace pellucor
