#pragma once

// The guardian: a second process of this program, started with a private
// switch at the first hide, that puts the user's cursors back if the main
// process ends or hangs while they are blank. It never blanks anything, has
// no window and no tray icon, and ends with the main process.

#include <optional>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "platform/cursor.h"
#include "platform/processes.h"

namespace pellucor {

inline constexpr const char* kGuardianSwitch = "/guardian";
// A short-lived run of the program that only starts the guardian and ends:
// the guardian is then nobody's child, and ending the program's process tree
// (Task Manager's End task, "End process tree", a job) leaves it running.
inline constexpr const char* kGuardianLauncherSwitch = "/start-guardian";
// How long the main window may leave a message unanswered before the
// guardian takes it for hung.
inline constexpr double kHungAfterSeconds = 5.0;
// How often the guardian looks while the cursors are blank.
inline constexpr double kGuardianLookSeconds = 1.0;

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

// The guardian process: takes up its link and guards the main process until
// it ends. If the main process ended before the guardian could attach, the
// cursors it noted blank are put back at once. Returns the exit code.
int GuardMainProcess(Processes& processes, Cursor& cursor, Clock& clock, const GuardianLink& link);

// The guardian's whole life, once the link is attached. Returns the
// process's exit code once the main process has ended.
int RunGuardian(Processes& processes, Cursor& cursor, Clock& clock);

}  // namespace pellucor
