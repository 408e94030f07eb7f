// The timer tick: hides the cursor once it has rested for the chosen number
// of ticks and shows it at the first tick that sees it moved.

#include <limits>

#include "app/form1.h"
#include "hider/mod_keyboard.h"
#include "platform/failure.h"

namespace pellucor {

void Form1::Timer1_Timer() {
  // Once a stop is asked for, the run is ending: a tick that the stop's own
  // message processing dispatches must not hide the cursor or open another
  // error box (a field without a number would otherwise stack one a second
  // and the hot key could never end the run).
  if (inTick_ || modKeyboard::StopRequested != 0) return;
  inTick_ = true;
  struct Leave {
    bool& flag;
    ~Leave() { flag = false; }
  } leave{inTick_};

  Guard g = guard(kTickLocation);
  Point pos;
  g.step(100, [&] { pos = platform_.cursorPos(); });
  if (!g.test(102, [&] { return pos.x == LastCursorX && pos.y == LastCursorY; })) {
    g.step(104, [&] { LastCursorX = pos.x; });
    g.step(106, [&] { LastCursorY = pos.y; });
    g.step(108, [&] { IdleTicks = 0; });
    g.step(110, [&] { Mouse.RevealCursor(); });
    return;
  }
  g.step(112, [&] {
    if (IdleTicks == std::numeric_limits<std::int32_t>::max()) throw Failure(failure_text::kOverflow);
    ++IdleTicks;
  });
  // A field that does not convert counts as the limit reached.
  if (g.test(114, [&] { return IdleTicks >= platform_.textToInt16(Text1.text()); })) {
    g.step(116, [&] { Mouse.ConcealCursor(); });
  }
}

}  // namespace pellucor
