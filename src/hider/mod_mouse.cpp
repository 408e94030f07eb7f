#include "hider/mod_mouse.h"

namespace pellucor {

void RevealCursor(Platform& platform) {
  while (platform.showCursor(true) < 0) {
  }
}

void ConcealCursor(Platform& platform) {
  while (platform.showCursor(false) >= 0) {
  }
}

}  // namespace pellucor
