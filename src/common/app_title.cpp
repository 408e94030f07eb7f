#include "common/app_title.h"

#include <cstdint>

#include "platform/failure.h"

namespace pellucor {
namespace {

// Characters, not bytes: a title may hold letters outside ASCII.
std::size_t CharacterCount(std::string_view text) {
  std::size_t count = 0;
  for (unsigned char c : text) {
    if ((c & 0xC0) != 0x80) ++count;
  }
  return count;
}

}  // namespace

std::string ShortenTitle(std::string_view productTitle) {
  std::string title(productTitle);
  do {
    const std::size_t space = title.rfind(' ');
    if (space == std::string::npos) break;
    // The position is kept as a 16-bit number; a longer title cannot be cut.
    if (space + 1 > static_cast<std::size_t>(INT16_MAX)) throw Failure(failure_text::kOverflow);
    title.resize(space);
  } while (CharacterCount(title) > kMaxAppTitle);
  return title;
}

}  // namespace pellucor
