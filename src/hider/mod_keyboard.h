#pragma once

#include "platform/platform.h"

namespace pellucor {

// The global Ctrl+Shift+S hook. This build has no run to stop yet, so
// installing and removing it are no-ops.
void InstallKeyboardHook(Platform& platform);
void RemoveKeyboardHook(Platform& platform);

}  // namespace pellucor
