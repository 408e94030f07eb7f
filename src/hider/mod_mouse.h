#pragma once

#include "platform/platform.h"

namespace pellucor {

// The cursor's visibility. The display count of ShowCursor belongs to the
// calling thread and hides the cursor only over this program's own windows,
// so hiding also replaces the system cursors with blank ones for the whole
// desktop. That replacement outlives the process, so it is undone whenever
// the cursor is shown and at every start, and a guardian process watches
// over it while it lasts.
class modMouse {
 public:
  explicit modMouse(Platform& platform) : platform_(platform) {}

  // Drives the display count to 0 or above (always at least one call, so a
  // visible cursor's count still rises by one), puts the user's cursors back
  // and stops watching the mouse.
  void RevealCursor();
  // Drives the display count below 0 (always at least one call), watches the
  // mouse so that its first movement shows the cursor again, and blanks the
  // system cursors.
  void ConcealCursor();
  // Puts the user's cursors back whatever this process believes: a run that
  // was killed may have left them blank.
  void RepairSystemCursors();

  // From the hide until the next show.
  bool concealed() const { return concealed_; }

 private:
  void BlankSystemCursors();

  Platform& platform_;
  // Replacing and restoring the cursors is costly and the tick asks every
  // second, so only real changes reach the platform.
  bool concealed_ = false;
  // One guardian for the life of the process, started at the first hide.
  bool guardianStarted_ = false;
};

}  // namespace pellucor
