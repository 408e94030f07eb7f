// The timer tick: hides the cursor once it has rested for the chosen number
// of ticks and shows it at the first tick that sees it moved. Between ticks,
// the mouse watch shows a hidden cursor the moment the mouse is used, a key
// that types hides it at once (when the user asked for that), and a listed
// program coming to the front shows it.

#include <cstdint>
#include <limits>
#include <optional>
#include <utility>
#include <vector>

#include "hider/hiding_run.h"
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

void HidingRun::onTick() {
  // Once a stop is asked for, the run is ending: a tick that the stop's own
  // message processing dispatches must not hide the cursor or open another
  // error box (a field without a number would otherwise stack one a second
  // and the stop key could never end the run).
  if (inTick_ || stopRequested_) return;
  inTick_ = true;
  struct Leave {
    bool& flag;
    ~Leave() { flag = false; }
  } leave{inTick_};
  if (running_) checkKeyboardHook();

  Guard g = guard(kTickLocation);
  std::optional<Point> pos;
  g.step(100, [&] { pos = cursor_.cursorPos(); });
  // A position that cannot be read (the lock screen or a UAC prompt has the
  // input) counts as movement: nobody's cursors are blanked there. A nudge
  // the user asked to ignore counts as none.
  if (!g.test(102, [&] { return pos && Near(*pos, last_, options_.ignoredPixels); })) {
    g.step(104, [&] {
      if (pos) last_.x = pos->x;
    });
    g.step(106, [&] {
      if (pos) last_.y = pos->y;
    });
    g.step(108, [&] { idleTicks_ = 0; });
    g.step(110, [&] { reveal(); });
    return;
  }
  g.step(112, [&] {
    if (idleTicks_ == std::numeric_limits<std::int32_t>::max()) throw Failure(failure_text::kOverflow);
    ++idleTicks_;
  });
  // Seconds that do not convert count as the limit reached.
  if (g.test(114, [&] { return idleTicks_ >= numbers_.textToInt16(idleSeconds_); })) {
    g.step(116, [&] {
      if (!keepsPointer()) {
        conceal();
      } else {
        // Nothing is hidden in front of such a program; the count starts again.
        idleTicks_ = 0;
        if (cursorHider_.concealed()) reveal();
      }
    });
  }
}

void HidingRun::conceal() {
  const bool fresh = !cursorHider_.concealed();
  if (fresh) {
    if (const std::optional<Point> pos = cursor_.cursorPos()) hiddenAt_ = *pos;
  }
  cursorHider_.ConcealCursor();
  if (!fresh) return;
  // Windows' rings around the pointer at a Ctrl press would point at
  // nothing: with them on, Ctrl alone shows the pointer. Outside a run the
  // keys are watched for that alone, while the pointer is hidden.
  const bool sonar = cursor_.pointerSonarOn();
  keyboardHook_.watchCtrlTap(sonar);
  if (sonar && !running_ && keyboardHook_.handle() == 0) keyboardHook_.install();
}

void HidingRun::reveal() {
  cursorHider_.RevealCursor();
  keyboardHook_.watchCtrlTap(false);
  if (!running_) keyboardHook_.remove();
}

// A Store app's window is a child of a frame that ApplicationFrameHost.exe
// owns, whatever the app.
std::string ProgramInFront(Desktop& desktop, Files& files) {
  std::string front = desktop.foregroundProgram();
  if (!files.sameFileName(front, "ApplicationFrameHost.exe")) return front;
  std::vector<std::string> shown = desktop.foregroundChildPrograms();
  return shown.empty() ? front : std::move(shown.front());
}

bool FillsScreen(const ScreenUse& use) {
  return use.shell != ShellState::Normal || (use.coversMonitor && !use.desktopOrShell);
}

bool HidingRun::keepsPointer() {
  if (options_.neverHideInFullScreen && FillsScreen(desktop_.foregroundScreenUse())) return true;
  if (options_.neverHideIn.empty()) return false;  // asks the system nothing more
  const bool listed = ListsProgram(files_, options_.neverHideIn, ProgramInFront(desktop_, files_));
  return options_.hideOnlyInListed ? !listed : listed;
}

// Windows removes a hook that once took too long, without a word: the stop
// key would be dead until the next run. Input that did not move the pointer,
// that no mouse report told of and that the hook was never called for was a
// key the hook missed, so it goes back in, at most once a tick. A click with
// the pointer shown looks the same and costs a needless, harmless reinstall.
void HidingRun::checkKeyboardHook() {
  const InputSeen now{hooks_.lastInputTick(), keyboardHook_.eventsSeen(), mouseReports_, cursor_.cursorPos()};
  const std::optional<InputSeen> before = std::exchange(inputSeen_, now);
  if (!before || now.lastInput == before->lastInput) return;
  if (now.keys != before->keys || now.mouseReports != before->mouseReports) return;
  if (!now.pointer || !before->pointer || now.pointer->x != before->pointer->x || now.pointer->y != before->pointer->y)
    return;
  keyboardHook_.reinstall();
}

void HidingRun::takePosition() {
  if (const std::optional<Point> pos = cursor_.cursorPos()) last_ = *pos;
}

// The hidden cursor comes back at once rather than at the next tick, and the
// still time counts afresh: a click or a turn of the wheel is use too, though
// the position stays. Unless the user asked otherwise: a movement within the
// ignored pixels of where it was hidden, or a turn of the wheel, leaves it
// hidden. Runs from the message loop, never inside a hook.
void HidingRun::onMouseInput(unsigned uses) {
  ++mouseReports_;
  if (!cursorHider_.concealed()) return;
  bool shows = (uses & kMouseButton) != 0 || ((uses & kMouseWheel) && !options_.wheelKeepsHidden);
  if ((uses & kMouseMoved) && !shows) {
    const std::optional<Point> pos = options_.ignoredPixels > 0 ? cursor_.cursorPos() : std::nullopt;
    shows = !pos || !Near(*pos, hiddenAt_, options_.ignoredPixels);
  }
  if (!shows) return;
  reveal();
  idleTicks_ = 0;
}

// Ctrl pressed and let go alone, with Windows' rings on: they show where a
// pointer is, so it shows, and the still time counts afresh.
void HidingRun::onCtrlTap() {
  if (!cursorHider_.concealed()) return;
  reveal();
  idleTicks_ = 0;
}

// A key that types, during a run with "hide as soon as I type".
void HidingRun::onTypingKey() {
  if (!keyboardHook_.typingWatched() || !options_.hideWhileTyping || !running_) return;
  if (cursorHider_.concealed() || keepsPointer()) return;
  conceal();
  // The tick measures movement from here: a move made before the key is not
  // one after the hide, and must not show the pointer at the next tick.
  takePosition();
}

// A program that keeps the pointer came to the front: the pointer shows at
// once, and the count starts again.
void HidingRun::onForegroundChanged() {
  if (!running_ || !keepsPointer()) return;
  if (cursorHider_.concealed()) reveal();
  idleTicks_ = 0;
  takePosition();
}

}  // namespace pellucor
