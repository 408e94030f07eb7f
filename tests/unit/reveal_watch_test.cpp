// Between ticks: the mouse watch shows a hidden cursor the moment the mouse
// is used, and a position that cannot be read never hides it.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "harness.h"

namespace pellucor::test {
namespace {

// A first run: the balloon takes 5 s, the ticks come at 6, 7 and 8 s, and
// the third still one hides the resting cursor at 8 s.
constexpr std::int64_t kHiddenAt = 8000;

struct RevealWatch : ::testing::Test {
  Desktop d;
  MainWindow& f = d.start();

  bool hidden() const { return d.sim.cursorDisplayCount < 0 && d.sim.systemCursorsHidden; }
  int restores() const {
    return static_cast<int>(std::count(d.sim.log.begin(), d.sim.log.end(), "restoreSystemCursors"));
  }
  // Runs until the stop click at `stopAt` (virtual ms from the start click).
  void runUntil(std::int64_t stopAt) {
    d.sim.at(stopAt - 1000, [&] { d.sim.trayMessage(f.tray.trayIcon.ControlWindow(), 0, 0x202); });
    d.sim.at(stopAt, [&] { d.sim.userClick(MainWindow::kRunButton); });
    d.sim.userClick(MainWindow::kRunButton);
    d.sim.runPending();
  }
};

TEST_F(RevealWatch, TheFirstMovementShowsTheCursorBeforeTheNextTick) {
  struct Seen {
    bool hidden = false, watched = false;
  } before, after;
  d.sim.at(kHiddenAt - 500, [&] { before = {hidden(), d.sim.mouseWatched}; });
  d.sim.at(kHiddenAt + 300, [&] { after = {hidden(), d.sim.mouseWatched}; });
  d.sim.at(kHiddenAt + 300, [&] { d.sim.userMoveMouse({3, 0}); });
  d.sim.at(kHiddenAt + 301, [&] {
    EXPECT_FALSE(hidden()) << "shown 1 ms after the move, 699 ms before the next tick";
    EXPECT_FALSE(d.sim.mouseWatched) << "nothing is watched while the cursor shows";
  });
  runUntil(20000);
  EXPECT_FALSE(before.hidden);
  EXPECT_FALSE(before.watched) << "nothing is watched before the cursor hides";
  EXPECT_TRUE(after.hidden);
  EXPECT_TRUE(after.watched);
  EXPECT_FALSE(d.sim.mouseWatched);
}

TEST_F(RevealWatch, TheTickAfterAQuickRevealFindsTheCursorsBackAlready) {
  int restoresAfterReveal = 0;
  d.sim.at(kHiddenAt + 300, [&] { d.sim.userMoveMouse({3, 0}); });
  d.sim.at(kHiddenAt + 301, [&] { restoresAfterReveal = restores(); });
  d.sim.at(kHiddenAt + 1001, [&] {
    EXPECT_EQ(f.run.lastPosition().x, 3) << "the tick saw the move";
    EXPECT_EQ(restores(), restoresAfterReveal) << "and put nothing back a second time";
  });
  runUntil(9500);
}

TEST_F(RevealWatch, ABurstOfMovementIsOneReveal) {
  int restoresBefore = 0;
  d.sim.at(kHiddenAt + 300, [&] {
    restoresBefore = restores();
    for (int x = 1; x <= 50; ++x) d.sim.userMoveMouse({x, 0});
  });
  d.sim.at(kHiddenAt + 301, [&] {
    EXPECT_EQ(restores(), restoresBefore + 1);
    EXPECT_EQ(d.sim.cursorDisplayCount, 0);
  });
  runUntil(9000);
}

TEST_F(RevealWatch, AClickWithoutMovementShowsTheCursorAndTheStillTimeCountsAfresh) {
  d.sim.at(kHiddenAt + 500, [&] { d.sim.userMouseButton(); });
  d.sim.at(kHiddenAt + 501, [&] { EXPECT_FALSE(hidden()) << "a click is use"; });
  d.sim.at(kHiddenAt + 2500, [&] { EXPECT_FALSE(hidden()) << "not hidden again at the next still tick"; });
  d.sim.at(kHiddenAt + 3001, [&] { EXPECT_TRUE(hidden()) << "three still ticks after the click"; });
  d.sim.at(kHiddenAt + 3001, [&] { EXPECT_TRUE(d.sim.mouseWatched) << "watched again once hidden again"; });
  runUntil(12000);
  EXPECT_EQ(d.sim.mouseWatchStarts, 2);
}

TEST_F(RevealWatch, InputWhileTheCursorShowsChangesNothing) {
  d.sim.userMoveMouse({50, 50});
  d.sim.userMouseButton();
  d.sim.runPending();
  EXPECT_EQ(d.sim.cursorDisplayCount, 0);
  EXPECT_EQ(d.sim.mouseWatchStarts, 0);
}

TEST_F(RevealWatch, StopAndCloseLeaveNothingWatched) {
  d.sim.at(kHiddenAt + 1500, [&] { EXPECT_TRUE(d.sim.mouseWatched); });
  d.sim.at(kHiddenAt + 2000, [&] { d.sim.userClose(); });
  d.sim.userClick(MainWindow::kRunButton);
  EXPECT_THROW(d.sim.runPending(), ProcessEnded);
  EXPECT_FALSE(d.sim.mouseWatched);
  EXPECT_FALSE(d.sim.systemCursorsHidden);
}

// The lock screen, a UAC prompt or Ctrl+Alt+Del has the input.
struct UnreadablePosition : RevealWatch {
  void ticks(int n) {
    for (int i = 0; i < n; ++i) f.run.onTick();
  }
};

TEST_F(UnreadablePosition, CountsAsMovementQuietly) {
  ticks(3);
  ASSERT_TRUE(hidden());
  d.sim.cursorUnreadable = true;
  ticks(1);
  EXPECT_FALSE(hidden()) << "the session's cursors are the user's while it is locked";
  EXPECT_EQ(f.run.idleTicks(), 0);
  ticks(600);
  EXPECT_FALSE(hidden()) << "ten minutes of lock screen never hide it";
  EXPECT_TRUE(d.sim.boxes.empty()) << "and say nothing";

  d.sim.cursorUnreadable = false;
  ticks(2);
  EXPECT_FALSE(hidden());
  ticks(1);
  EXPECT_TRUE(hidden()) << "back at the desktop, three still ticks hide it again";
}

TEST_F(UnreadablePosition, AtTheStartOfARunIsNoFailure) {
  d.sim.userMoveMouse({40, 40});
  d.sim.cursorUnreadable = true;
  d.sim.at(20000, [&] {
    EXPECT_FALSE(hidden());
    d.sim.cursorUnreadable = false;
  });
  d.sim.at(22500, [&] { EXPECT_FALSE(hidden()); });
  d.sim.at(23500, [&] { EXPECT_TRUE(hidden()); });
  runUntil(25000);
  EXPECT_TRUE(d.sim.boxes.empty());
}

}  // namespace
}  // namespace pellucor::test
