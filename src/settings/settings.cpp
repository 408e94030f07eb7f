#include "settings/settings.h"

namespace pellucor {

std::string ReadSetting(Platform& platform, std::string_view key, std::string_view defaultValue) {
  return platform.readSetting(kSettingsApplication, kSettingsSection, key).value_or(std::string(defaultValue));
}

void WriteSetting(Platform& platform, std::string_view key, std::string_view value) {
  platform.writeSetting(kSettingsApplication, kSettingsSection, key, value);
}

}  // namespace pellucor
