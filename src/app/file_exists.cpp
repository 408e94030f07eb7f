#include "app/file_exists.h"

#include <exception>

namespace pellucor {

bool FileExists(Files& files, const std::string& path) {
  try {
    files.fileDateTime(path);
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

}  // namespace pellucor
