#pragma once

#include <optional>

#include "platform/cursor.h"
#include "platform/files.h"
#include "platform/input_hooks.h"
#include "platform/processes.h"

namespace pellucor {

// The cursor's visibility. The display count of ShowCursor belongs to the
// calling thread and hides the cursor only over this program's own windows,
// so hiding also replaces the system cursors with blank ones for the whole
// desktop. That replacement outlives the process, so it is undone whenever
// the cursor is shown and at the next start, and a guardian process watches
// over it while it lasts.
class CursorHider {
 public:
  CursorHider(Cursor& cursor, InputHooks& hooks, Processes& processes, Files& files)
      : cursor_(cursor), hooks_(hooks), processes_(processes), files_(files) {}

  // Brings the display count to 0 or above, puts the user's cursors back and
  // stops watching the mouse.
  void RevealCursor();
  // Brings the display count below 0, watches the mouse so that its first
  // movement shows the cursor again, and blanks the system cursors.
  void ConcealCursor();
  // Puts the user's cursors back when the session's note says a copy of
  // this program left them blank (killed, or dead past its handlers), and
  // leaves them alone otherwise: another program may have set its own.
  void RepairSystemCursors();

  // From the hide until the next show.
  bool concealed() const { return concealed_; }

 private:
  void BlankSystemCursors();

  Cursor& cursor_;
  InputHooks& hooks_;     // for the mouse watch
  Processes& processes_;  // the guardian and its note
  Files& files_;          // whether the guardian is one
  // Replacing and restoring the cursors is costly and the tick asks every
  // second, so only real changes reach the system.
  bool concealed_ = false;
  // What ShowCursor last returned. Each call moves the count by one, so a
  // call made when the count is already on the wanted side would pile up
  // (a day of ticks with movement, tens of thousands) for the next hide to
  // undo one by one. Unknown until the first call: a thread starts at 0, or
  // at -1 on a machine without a mouse.
  std::optional<int> displayCount_;
};

}  // namespace pellucor
