#include "settings/settings.h"

namespace pellucor {

std::string ReadSetting(Registry& registry, std::string_view key, std::string_view defaultValue) {
  return registry.readSetting(kSettingsApplication, kSettingsSection, key).value_or(std::string(defaultValue));
}

void WriteSetting(Registry& registry, std::string_view key, std::string_view value) {
  registry.writeSetting(kSettingsApplication, kSettingsSection, key, value);
}

}  // namespace pellucor
