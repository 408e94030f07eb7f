#pragma once

#include <string>

#include "platform/platform.h"

namespace pellucor {

// True when the path's date and time can be read, so also for a folder.
// Never fails: every error means false.
bool FileExists(Platform& platform, const std::string& path);

}  // namespace pellucor
