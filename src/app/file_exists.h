#pragma once

#include <string>

#include "platform/files.h"

namespace pellucor {

// True when the path's date and time can be read, so also for a folder.
// Never fails: every error means false.
bool FileExists(Files& files, const std::string& path);

}  // namespace pellucor
