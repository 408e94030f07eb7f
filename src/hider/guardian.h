#pragma once

// The guardian: a second process of this program, started with a private
// switch at the first hide, that puts the user's cursors back if the main
// process ends or hangs while they are blank. It never blanks anything, has
// only a hidden window (for Windows to ask it to close) and no tray icon,
// and ends with the main process.

#include "platform/clock.h"
#include "platform/cursor.h"
#include "platform/files.h"
#include "platform/guardian_link.h"
#include "platform/processes.h"

namespace pellucor {

// How long the main window may leave a message unanswered before the
// guardian takes it for hung.
inline constexpr double kHungAfterSeconds = 5.0;
// How often the guardian looks while the cursors are blank.
inline constexpr double kGuardianLookSeconds = 1.0;

// Main process: the process a guardian's launcher named is that guardian
// only if it runs this program's file (compared as Windows compares file
// names) and started while the launcher ran. Anything else got the id of a
// guardian that has ended, and counting it as the guardian would leave the
// blank cursors unwatched.
bool IsTheGuardian(const GuardianCandidate& named, Files& files);

// The guardian process: takes up its link and guards the main process until
// it ends. If the main process ended before the guardian could attach, the
// cursors it noted blank are put back at once. Returns the exit code.
int GuardMainProcess(Processes& processes, Cursor& cursor, Clock& clock, const GuardianLink& link);

// The guardian's whole life, once the link is attached. Returns the
// process's exit code once the main process has ended or Windows has asked
// the guardian to close.
int RunGuardian(Processes& processes, Cursor& cursor, Clock& clock);

}  // namespace pellucor
