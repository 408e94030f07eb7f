#include "app/file_exists.h"

#include <exception>

namespace pellucor {

bool FileExists(Platform& platform, const std::string& path) {
  try {
    platform.fileDateTime(path);
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

}  // namespace pellucor
