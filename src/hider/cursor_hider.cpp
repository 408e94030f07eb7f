#include "hider/cursor_hider.h"

#include "hider/guardian.h"

namespace pellucor {

void CursorHider::RevealCursor() {
  while (!displayCount_ || *displayCount_ < 0) displayCount_ = cursor_.showCursor(true);
  if (!concealed_) return;
  concealed_ = false;
  hooks_.watchMouse(false);
  cursor_.restoreSystemCursors();
  // Cleared only once they are back, so the guardian never believes them
  // restored too early.
  processes_.setCursorsBlankNote(false);
}

void CursorHider::ConcealCursor() {
  while (!displayCount_ || *displayCount_ >= 0) displayCount_ = cursor_.showCursor(false);
  if (!concealed_) {
    concealed_ = true;
    // Watching first: no movement after this point goes unseen.
    hooks_.watchMouse(true);
    // One guardian at a time, started afresh at a hide if the last one could
    // not be started or has ended.
    const auto isGuardian = [this](const GuardianCandidate& named) { return IsTheGuardian(named, files_); };
    if (!processes_.guardianRunning(isGuardian)) processes_.startGuardian();
    BlankSystemCursors();
  } else if (!processes_.cursorsBlankNote()) {
    // The guardian put the user's cursors back while this process did not
    // answer; it answers again, so the still cursor goes blank again.
    BlankSystemCursors();
  }
}

void CursorHider::BlankSystemCursors() {
  // Noted before they go blank, so a kill in between still has them restored.
  processes_.setCursorsBlankNote(true);
  cursor_.hideSystemCursors();
}

void CursorHider::RepairSystemCursors() {
  if (!processes_.cursorsBlankNote()) return;
  cursor_.restoreSystemCursors();
  processes_.setCursorsBlankNote(false);
}

}  // namespace pellucor
