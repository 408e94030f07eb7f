#pragma once

#include "platform/platform.h"

namespace pellucor {

// Drive the cursor display count to 0 or above. Always calls at least once,
// so a visible cursor's count still rises by one.
void RevealCursor(Platform& platform);
// Drive the cursor display count below 0. Always calls at least once.
void ConcealCursor(Platform& platform);

}  // namespace pellucor
