// The run button: starts a run and stays in its loop until a stop is asked
// for, by a second click or by the hot key.

#include <optional>

#include "app/main_window.h"
#include "hider/hot_key.h"

namespace pellucor {
namespace {

// Between passes the loop sleeps until something arrives. The bound only
// keeps a wait finite; any message, input or hook call ends it at once.
constexpr double kRunLoopWaitSeconds = 60.0;
// How long the window waits for the hot key's keys to be let go, and how
// often it looks.
constexpr double kKeysUpWaitSeconds = 1.0;
constexpr double kKeysUpLookSeconds = 0.02;

}  // namespace

void MainWindow::onRunButtonClick() {
  using hotKey::StopRequested;
  Guard g = guard(kClickLocation);
  if (g.test(100, [&] { return runButton.caption() == kStartCaption; })) {
    quietStop_ = false;
    g.step(102, [&] { runButton.setCaption(kStopCaption); });
    g.step(104, [&] { platform_.setWindowState(WindowState::Minimised); });
    // A stop by command may come while the start is still under way (the
    // tray's balloon pumps messages): it is kept, not forgotten.
    g.step(106, [&] { StopRequested = quietStop_ ? -1 : 0; });
    // Windows drops a hook that once took too long; each run has one again.
    g.step(106, [&] { hotKey::ReinstallKeyboardHook(platform_); });
    std::optional<Point> pos;
    g.step(108, [&] { pos = platform_.cursorPos(); });
    // Unreadable (the lock screen has the input): the first tick that reads
    // a position counts from there.
    g.step(110, [&] {
      if (pos) LastCursorX = pos->x;
    });
    g.step(112, [&] {
      if (pos) LastCursorY = pos->y;
    });
    g.step(114, [&] { IdleTicks = 0; });
    g.step(116, [&] { tickTimer.setEnabled(true); });
    g.step(118, [&] { tickTimer.setInterval(1000); });
    g.step(118, [&] { WatchForRun(true); });
  } else {
    g.step(120, [&] { StopRequested = -1; });
    g.step(122, [&] { platform_.processPendingMessages(); });
  }

  bool firstPass = true;
  for (;;) {
    g.step(124, [&] {
      // Sleep instead of spinning: a run may last all day.
      if (!firstPass) platform_.waitForMessages(kRunLoopWaitSeconds);
      platform_.processPendingMessages();
    });
    firstPass = false;
    if (!g.test(126, [&] { return StopRequested == 0; })) break;
  }
  g.step(128, [] {});
  StopSequence(g);
}

// Every step is harmless to repeat: a stop click runs it in the nested
// handler and once more when the outer loop ends.
void MainWindow::StopSequence(Guard& g) {
  g.step(130, [&] { platform_.processPendingMessages(); });
  g.step(132, [&] { tickTimer.setEnabled(false); });
  g.step(134, [&] { tickTimer.setInterval(0); });
  g.step(134, [&] { WatchForRun(false); });
  // After the timer is off and the queue drained, no late tick can hide it again.
  g.step(136, [&] { platform_.processPendingMessages(); });
  g.step(138, [&] { cursorHider.RevealCursor(); });
  g.step(142, [&] { runButton.setCaption(kStartCaption); });
  // A stop by command leaves the window where it was: a script stopping the
  // run has nobody at the keys to look at it.
  g.step(144, [&] {
    if (quietStop_) return;
    WaitForStopKeysUp();
    trayIcon.DropPendingBalloon();  // the window is back: no news of the tray
    platform_.setVisible(kWindow, true);
  });
  g.step(146, [&] {
    if (quietStop_) return;
    platform_.setFocus(kWindow);
    // Windows refuses the foreground to a program the user did not just
    // use (the hot key was typed into another one): the window then opens
    // behind, and its taskbar button says where it is.
    if (!platform_.isForeground()) platform_.flashUntilActivated();
  });
  g.step(148, [&] {
    if (!quietStop_) HiddenInTray = false;
  });
}

void MainWindow::WatchForRun(bool running) {
  hotKey::TypingWatched = running && options_.hideWhileTyping;
  platform_.watchForeground(running && !options_.neverHideIn.empty());
}

// The hot key's report, from the input thread.
void MainWindow::onStopKey() { hotKey::StopRequested = -1; }

// The hot key stops a run at the S key-down, while the user's fingers are
// still on Ctrl+Shift+S: the rest of that key chord belongs to the program
// they typed it in. The window comes forward once the keys are up, or after
// a second if they stay down.
void MainWindow::WaitForStopKeysUp() {
  const auto held = [this] {
    for (int vk : {hotKey::kVkS, hotKey::kVkControl, hotKey::kVkShift}) {
      if (platform_.asyncKeyState(vk) < 0) return true;
    }
    return false;
  };
  const double until = platform_.monotonicSeconds() + kKeysUpWaitSeconds;
  while (held() && platform_.monotonicSeconds() < until) {
    platform_.waitForMessages(kKeysUpLookSeconds);
    platform_.processPendingMessages();
  }
}

}  // namespace pellucor
