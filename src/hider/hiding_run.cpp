// The run's start, its loop and its stop. The run stays in its loop until a
// stop is asked for, by a second click, the stop key or a command; whatever
// happens meanwhile is dispatched from inside it.

#include "hider/hiding_run.h"

namespace pellucor {
namespace {

// Between passes the loop sleeps until something arrives. The bound only
// keeps a wait finite; any message, input or hook call ends it at once.
constexpr double kRunLoopWaitSeconds = 60.0;
// How long the window waits for the stop key's keys to be let go, and how
// often it looks.
constexpr double kKeysUpWaitSeconds = 1.0;
constexpr double kKeysUpLookSeconds = 0.02;
constexpr unsigned kTickDesignInterval = 3000;
constexpr unsigned kTickMs = 1000;

}  // namespace

HidingRun::HidingRun(MessageLoop& loop, Clock& clock, Numbers& numbers, Cursor& cursor, InputHooks& hooks,
                     Processes& processes, Desktop& desktop, Files& files, const Texts& texts, RunWindow& window)
    : loop_(loop),
      texts_(texts),
      clock_(clock),
      numbers_(numbers),
      cursor_(cursor),
      hooks_(hooks),
      desktop_(desktop),
      files_(files),
      window_(window),
      cursorHider_(cursor, hooks, processes, files),
      keyboardHook_(hooks),
      tickTimer_(loop, kTickTimer, kTickDesignInterval),
      startRunTimer_(loop, kStartRunTimer, kSoonMs) {
  tickTimer_.onTimer = [this] { onTick(); };
  startRunTimer_.setOneShot([this] {
    if (!running_) startOrStop();
  });
}

void HidingRun::startOrStop() {
  Guard g = guard(kClickLocation);
  if (g.test(100, [&] { return !running_; })) {
    begin(g);
  } else {
    g.step(120, [&] { askStop(); });
    g.step(122, [&] { loop_.processPendingMessages(); });
  }

  bool firstPass = true;
  for (;;) {
    g.step(124, [&] {
      // Sleep instead of spinning: a run may last all day.
      if (!firstPass) loop_.waitForMessages(kRunLoopWaitSeconds);
      loop_.processPendingMessages();
    });
    firstPass = false;
    if (!g.test(126, [&] { return !stopRequested_; })) break;
  }
  g.step(128, [] {});
  stopSequence(g);
}

void HidingRun::begin(Guard& g) {
  quietStop_ = false;
  stopRequested_ = false;
  inputSeen_.reset();
  g.step(102, [&] { setRunning(true); });
  // The keys are watched only while a run needs them: outside one, the hook
  // and the thread that serves it cost nothing. They are watched before the
  // window goes: a stop asked for while it is on its way into the tray (the
  // balloon's wait pumps messages) ends the run at once. Windows drops a
  // hook that once took too long, so an old one is replaced.
  g.step(102, [&] { keyboardHook_.reinstall(); });
  g.step(104, [&] { window_.leaveForRun(); });
  std::optional<Point> pos;
  g.step(108, [&] { pos = cursor_.cursorPos(); });
  // Unreadable (the lock screen has the input): the first tick that reads
  // a position counts from there.
  g.step(110, [&] {
    if (pos) last_.x = pos->x;
  });
  g.step(112, [&] {
    if (pos) last_.y = pos->y;
  });
  g.step(114, [&] { idleTicks_ = 0; });
  g.step(116, [&] { tickTimer_.setEnabled(true); });
  g.step(118, [&] { tickTimer_.setInterval(kTickMs); });
  g.step(118, [&] { watchForRun(true); });
}

// Every step is harmless to repeat: a stop click runs it in the nested
// handler and once more when the outer loop ends.
void HidingRun::stopSequence(Guard& g) {
  g.step(130, [&] { loop_.processPendingMessages(); });
  g.step(132, [&] { tickTimer_.setEnabled(false); });
  g.step(134, [&] { tickTimer_.setInterval(0); });
  g.step(134, [&] { watchForRun(false); });
  g.step(134, [&] { keyboardHook_.remove(); });
  // After the timer is off and the queue drained, no late tick can hide it again.
  g.step(136, [&] { loop_.processPendingMessages(); });
  g.step(138, [&] { reveal(); });
  g.step(142, [&] { setRunning(false); });
  g.step(144, [&] {
    if (quietStop_) return;
    waitForStopKeysUp();
    window_.showAfterRun();
  });
  g.step(146, [&] {
    if (!quietStop_) window_.focusAfterRun();
  });
  g.step(148, [&] {
    if (!quietStop_) window_.backFromRun();
  });
}

void HidingRun::setRunning(bool running) {
  running_ = running;
  if (observer_) observer_->onRunChanged();
}

// Unlocking and waking are when a hook is found dropped: the stop key must
// work at once, not only from the next run.
void HidingRun::onSessionResumed() {
  if (running_) keyboardHook_.reinstall();
}

void HidingRun::stopQuietly() {
  if (!running_) return;
  quietStop_ = true;
  askStop();  // the run's loop ends it, as after the stop key
}

// Keys still queued from a run that has ended stop nothing.
void HidingRun::onStopKey() {
  if (running_) askStop();
}

void HidingRun::askStop() {
  stopRequested_ = true;
  window_.stopAsked();
}

void HidingRun::setOptions(const Options& options) {
  const Options before = std::exchange(options_, options);
  keyboardHook_.setStopKey(options_.stopKey);
  if (running_) watchForRun(true);
  if (hideKeyArmed_ && options_.hideKey != hideKeyAsked_) registerHideKey();
  if (before.stopKey != options_.stopKey && observer_) observer_->onRunChanged();
}

void HidingRun::watchForRun(bool running) {
  keyboardHook_.watchTyping(running && options_.hideWhileTyping);
  desktop_.watchForeground(running && (!options_.neverHideIn.empty() || options_.neverHideInFullScreen));
}

void HidingRun::armHideKey() {
  hideKeyArmed_ = true;
  registerHideKey();
}

// Windows refuses a chord another program has taken; everything else works
// on without it.
void HidingRun::registerHideKey() {
  if (std::exchange(hideKeyHeld_, false)) hooks_.unregisterHotKey(kHideHotKey);
  hideKeyAsked_ = options_.hideKey;
  if (hideKeyAsked_.empty()) return;
  hideKeyHeld_ = hooks_.registerHotKey(kHideHotKey, hideKeyAsked_);
  if (!hideKeyHeld_ && observer_) observer_->onHideKeyRefused(hideKeyAsked_);
}

void HidingRun::onHotKey(int id) {
  if (id == kHideHotKey) hideNow();
}

void HidingRun::hideNow() {
  conceal();
  if (!running_) return;
  // The still time counts from here; a move before the key is not one after.
  idleTicks_ = 0;
  takePosition();
}

void HidingRun::putBack() {
  // A tick dispatched by the message processing that follows must not hide
  // the cursor again: the blank system cursors would outlive the process.
  tickTimer_.setEnabled(false);
  startRunTimer_.setEnabled(false);
  watchForRun(false);
  if (std::exchange(hideKeyHeld_, false)) hooks_.unregisterHotKey(kHideHotKey);
  hideKeyArmed_ = false;
  reveal();
}

// The stop key stops a run at its key-down, while the user's fingers are
// still on the chord: the rest of it belongs to the program they typed it
// in. The window comes forward once the keys are up, or after
// a second if they stay down.
void HidingRun::waitForStopKeysUp() {
  const KeyChord& chord = options_.stopKey;
  const auto held = [&] {
    const auto down = [this](int vk) { return hooks_.asyncKeyState(vk) < 0; };
    return down(chord.key) || (chord.ctrl && down(kVkControl)) || (chord.alt && down(kVkMenu)) ||
           (chord.shift && down(kVkShift));
  };
  const double until = clock_.monotonicSeconds() + kKeysUpWaitSeconds;
  while (held() && clock_.monotonicSeconds() < until) {
    loop_.waitForMessages(kKeysUpLookSeconds);
    loop_.processPendingMessages();
  }
}

}  // namespace pellucor
