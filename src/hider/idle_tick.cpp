// The timer tick: hides the cursor once it has rested for the chosen number
// of ticks and shows it at the first tick that sees it moved. Between ticks,
// the mouse watch shows a hidden cursor the moment the mouse is used, a key
// that types hides it at once (when the user asked for that), and a listed
// program coming to the front shows it.

#include <cstdint>
#include <limits>
#include <optional>

#include "app/main_window.h"
#include "hider/hot_key.h"
#include "platform/failure.h"

namespace pellucor {
namespace {

// Within `pixels` of `from`, counted on the screen's pixels.
bool Near(const Point& at, const Point& from, int pixels) {
  const std::int64_t dx = static_cast<std::int64_t>(at.x) - from.x;
  const std::int64_t dy = static_cast<std::int64_t>(at.y) - from.y;
  return dx * dx + dy * dy <= static_cast<std::int64_t>(pixels) * pixels;
}

}  // namespace

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
  // input) counts as movement: nobody's cursors are blanked there. A nudge
  // the user asked to ignore counts as none.
  if (!g.test(102, [&] { return pos && Near(*pos, {LastCursorX, LastCursorY}, options_.ignoredPixels); })) {
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
    g.step(116, [&] {
      if (!InListedProgram()) {
        Conceal();
      } else {
        // Nothing is hidden in front of a listed program; the count starts again.
        IdleTicks = 0;
        if (cursorHider.concealed()) cursorHider.RevealCursor();
      }
    });
  }
}

void MainWindow::Conceal() {
  if (!cursorHider.concealed()) {
    if (const std::optional<Point> pos = platform_.cursorPos()) hiddenAt_ = *pos;
  }
  cursorHider.ConcealCursor();
}

bool MainWindow::InListedProgram() {
  if (options_.neverHideIn.empty()) return false;  // asks the system nothing
  return ListsProgram(platform_, options_.neverHideIn, platform_.foregroundProgram());
}

// The hidden cursor comes back at once rather than at the next tick, and the
// still time counts afresh: a click or a turn of the wheel is use too, though
// the position stays. Unless the user asked otherwise: a movement within the
// ignored pixels of where it was hidden, or a turn of the wheel, leaves it
// hidden. Runs from the message loop, never inside a hook.
void MainWindow::onMouseInput(unsigned uses) {
  if (!cursorHider.concealed()) return;
  bool shows = (uses & kMouseButton) != 0 || ((uses & kMouseWheel) && !options_.wheelKeepsHidden);
  if ((uses & kMouseMoved) && !shows) {
    const std::optional<Point> pos = options_.ignoredPixels > 0 ? platform_.cursorPos() : std::nullopt;
    shows = !pos || !Near(*pos, hiddenAt_, options_.ignoredPixels);
  }
  if (!shows) return;
  cursorHider.RevealCursor();
  IdleTicks = 0;
}

// A key that types, during a run with "hide as soon as I type".
void MainWindow::onTypingKey() {
  if (!hotKey::TypingWatched || !options_.hideWhileTyping || !Running()) return;
  if (cursorHider.concealed() || InListedProgram()) return;
  Conceal();
  // The tick measures movement from here: a move made before the key is not
  // one after the hide, and must not show the pointer at the next tick.
  if (const std::optional<Point> pos = platform_.cursorPos()) {
    LastCursorX = pos->x;
    LastCursorY = pos->y;
  }
}

// A listed program came to the front: the pointer shows at once, and the
// count starts again.
void MainWindow::onForegroundChanged() {
  if (!Running() || !InListedProgram()) return;
  if (cursorHider.concealed()) cursorHider.RevealCursor();
  IdleTicks = 0;
  if (const std::optional<Point> pos = platform_.cursorPos()) {
    LastCursorX = pos->x;
    LastCursorY = pos->y;
  }
}

}  // namespace pellucor
