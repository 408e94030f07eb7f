#pragma once

#include <cstdint>

#include "platform/platform.h"

namespace pellucor {

// Whether the system's answer to claiming the session means that another
// copy of the program runs there.
bool AnotherCopyHoldsTheClaim(std::int32_t claim);

// Creates the main window, runs its start-up, shows it and runs the message
// loop until the process ends. The whole program, on any platform. When
// another copy runs in the session, asks it to show its window instead and
// returns 0 (1 if it could not be asked).
int runPellucor(Platform& platform);

}  // namespace pellucor
