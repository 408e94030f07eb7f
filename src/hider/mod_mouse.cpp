#include "hider/mod_mouse.h"

namespace pellucor {

void modMouse::RevealCursor() {
  while (platform_.showCursor(true) < 0) {
  }
  if (systemCursorsHidden_) {
    platform_.restoreSystemCursors();
    systemCursorsHidden_ = false;
  }
}

void modMouse::ConcealCursor() {
  while (platform_.showCursor(false) >= 0) {
  }
  if (!systemCursorsHidden_) {
    platform_.hideSystemCursors();
    systemCursorsHidden_ = true;
  }
}

void modMouse::RepairSystemCursors() {
  platform_.restoreSystemCursors();
  systemCursorsHidden_ = false;
}

}  // namespace pellucor
