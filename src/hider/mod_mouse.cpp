#include "hider/mod_mouse.h"

namespace pellucor {

void modMouse::RevealCursor() {
  while (platform_.showCursor(true) < 0) {
  }
  if (!concealed_) return;
  concealed_ = false;
  platform_.watchMouse(false);
  platform_.restoreSystemCursors();
  // Cleared only once they are back, so the guardian never believes them
  // restored too early.
  platform_.setCursorsBlankNote(false);
}

void modMouse::ConcealCursor() {
  while (platform_.showCursor(false) >= 0) {
  }
  if (!concealed_) {
    concealed_ = true;
    // Watching first: no movement after this point goes unseen.
    platform_.watchMouse(true);
    if (!guardianStarted_) {
      guardianStarted_ = true;
      platform_.startGuardian();
    }
    BlankSystemCursors();
  } else if (!platform_.cursorsBlankNote()) {
    // The guardian put the user's cursors back while this process did not
    // answer; it answers again, so the still cursor goes blank again.
    BlankSystemCursors();
  }
}

void modMouse::BlankSystemCursors() {
  // Noted before they go blank, so a kill in between still has them restored.
  platform_.setCursorsBlankNote(true);
  platform_.hideSystemCursors();
}

void modMouse::RepairSystemCursors() {
  platform_.restoreSystemCursors();
  platform_.setCursorsBlankNote(false);
  if (concealed_) platform_.watchMouse(false);
  concealed_ = false;
}

}  // namespace pellucor
