#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace pellucor {

// Leads the arguments of a copy that a start in a job started outside it:
// that copy never tries again, whatever job it may be in.
inline constexpr const char* kOutsideJobSwitch = "/outside-job";

// Whether the system's answer to claiming the session means that another
// copy of the program runs there.
bool AnotherCopyHoldsTheClaim(std::int32_t claim);

// The whole program, on any platform, given the arguments after its name.
// Creates the main window, runs its start-up and this start's command, shows
// it and runs the message loop until the process ends. When another copy runs
// in the session, passes the command to it instead (a plain start asks it to
// show its window) and returns the exit code (kExitDone, kExitRefused,
// kExitNoCopy). A bad command line does nothing and returns kExitRefused.
// A start that would become the running copy inside a job starts the
// program again outside it where the job allows, and ends with how that
// went.
int runPellucor(Platform& platform, const std::vector<std::string>& args = {});

}  // namespace pellucor
