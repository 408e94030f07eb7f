#include "settings/settings.h"

namespace pellucor {

// No persistent store is wired to this build yet, so every key reads as
// missing: the program starts exactly as on a first run.
std::string ReadSetting(Platform&, std::string_view, std::string_view defaultValue) {
  return std::string(defaultValue);
}

}  // namespace pellucor
