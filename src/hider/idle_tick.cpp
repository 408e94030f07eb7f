// The timer tick: hides the cursor once it has rested for the chosen number
// of ticks and shows it at the first tick that sees it moved. Between ticks,
// the mouse watch shows a hidden cursor the moment the mouse is used.

#include <limits>
#include <optional>

#include "app/main_window.h"
#include "hider/hot_key.h"
#include "platform/failure.h"

namespace pellucor {

void MainWindow::onTick() {
  // Once a stop is asked for, the run is ending: a tick that the stop's own
  // message processing dispatches must not hide the cursor or open another
  // error box (a field without a number would otherwise stack one a second
  // and the hot key could never end the run).
  if (inTick_ || hotKey::StopRequested != 0) return;
  inTick_ = true;
  struct Leave {
    bool& flag;
    ~Leave() { flag = false; }
  } leave{inTick_};

  Guard g = guard(kTickLocation);
  std::optional<Point> pos;
  g.step(100, [&] { pos = platform_.cursorPos(); });
  // A position that cannot be read (the lock screen or a UAC prompt has the
  // input) counts as movement: nobody's cursors are blanked there.
  if (!g.test(102, [&] { return pos && pos->x == LastCursorX && pos->y == LastCursorY; })) {
    g.step(104, [&] {
      if (pos) LastCursorX = pos->x;
    });
    g.step(106, [&] {
      if (pos) LastCursorY = pos->y;
    });
    g.step(108, [&] { IdleTicks = 0; });
    g.step(110, [&] { cursorHider.RevealCursor(); });
    return;
  }
  g.step(112, [&] {
    if (IdleTicks == std::numeric_limits<std::int32_t>::max()) throw Failure(failure_text::kOverflow);
    ++IdleTicks;
  });
  // A field that does not convert counts as the limit reached.
  if (g.test(114, [&] { return IdleTicks >= platform_.textToInt16(idleSecondsField.text()); })) {
    g.step(116, [&] { cursorHider.ConcealCursor(); });
  }
}

// The hidden cursor comes back at once rather than at the next tick, and the
// still time counts afresh: a click or a turn of the wheel is use too, though
// the position stays. Runs from the message loop, never inside a hook.
void MainWindow::onMouseInput() {
  if (!cursorHider.concealed()) return;
  cursorHider.RevealCursor();
  IdleTicks = 0;
}

}  // namespace pellucor
