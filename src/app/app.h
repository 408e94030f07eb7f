#pragma once

#include "platform/platform.h"

namespace pellucor {

// Creates the main window, runs its start-up, shows it and runs the message
// loop until the process ends. The whole program, on any platform.
int runPellucor(Platform& platform);

}  // namespace pellucor
