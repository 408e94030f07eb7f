#include "hider/cursor_hider.h"

namespace pellucor {

void CursorHider::RevealCursor() {
  while (!displayCount_ || *displayCount_ < 0) displayCount_ = platform_.showCursor(true);
  if (!concealed_) return;
  concealed_ = false;
  platform_.watchMouse(false);
  platform_.restoreSystemCursors();
  // Cleared only once they are back, so the guardian never believes them
  // restored too early.
  platform_.setCursorsBlankNote(false);
}

void CursorHider::ConcealCursor() {
  while (!displayCount_ || *displayCount_ >= 0) displayCount_ = platform_.showCursor(false);
  if (!concealed_) {
    concealed_ = true;
    // Watching first: no movement after this point goes unseen.
    platform_.watchMouse(true);
    // One guardian at a time, started afresh at a hide if the last one could
    // not be started or has ended.
    if (!platform_.guardianRunning()) platform_.startGuardian();
    BlankSystemCursors();
  } else if (!platform_.cursorsBlankNote()) {
    // The guardian put the user's cursors back while this process did not
    // answer; it answers again, so the still cursor goes blank again.
    BlankSystemCursors();
  }
}

void CursorHider::BlankSystemCursors() {
  // Noted before they go blank, so a kill in between still has them restored.
  platform_.setCursorsBlankNote(true);
  platform_.hideSystemCursors();
}

void CursorHider::RepairSystemCursors() {
  if (!platform_.cursorsBlankNote()) return;
  platform_.restoreSystemCursors();
  platform_.setCursorsBlankNote(false);
}

}  // namespace pellucor
