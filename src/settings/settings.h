#pragma once

#include <string>
#include <string_view>

#include "common/app_title.h"
#include "platform/registry.h"

namespace pellucor {

inline constexpr const char* kSettingsApplication = "Trandavel";
// The section is named after the product.
inline constexpr const char* kSettingsSection = kProductTitle;
inline constexpr const char* kKeyWindowsStartup = "Windows Startup";
inline constexpr const char* kKeyMinimized = "Minimized";
inline constexpr const char* kKeyPath = "Path";

// One key of the program's settings section; a missing key reads as its default.
std::string ReadSetting(Registry& registry, std::string_view key, std::string_view defaultValue);
// Writes at once, creating what is missing. A failed write goes unreported:
// the choice still holds for this run.
void WriteSetting(Registry& registry, std::string_view key, std::string_view value);

}  // namespace pellucor
