// The hot key as Windows delivers keys: the low-level hook is called before
// the key state changes, and the "pressed since" bit is shared and stale.
// The hook lives on a thread of its own and reports to the GUI thread.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "harness.h"
#include "hider/keyboard_hook.h"

namespace pellucor::test {
namespace {

constexpr int kVkC = 0x43;
constexpr int kVkLShift = 0xA0;
constexpr int kVkLControl = 0xA2;

struct HotKey : ::testing::Test {
  Desktop d;
  MainWindow& f = d.start();

  // The key decisions are the hook's own: it is put in here as a run puts it.
  HotKey() { f.run.keyboardHook().install(); }

  void down(int vk) { d.sim.userKey(vk, true); }
  void up(int vk) { d.sim.userKey(vk, false); }
  void tap(int vk) {
    down(vk);
    up(vk);
  }
  // Letters and spaces, as a user types them into another program.
  void type(const std::string& text) {
    for (char c : text) tap(c == ' ' ? 0x20 : std::toupper(static_cast<unsigned char>(c)));
  }
  void chord(std::initializer_list<int> held, int key) {
    for (int vk : held) down(vk);
    tap(key);
    for (auto it = std::rbegin(held); it != std::rend(held); ++it) up(*it);
  }
  // Whether the hook reported the stop key since the last time this was asked.
  bool stopAsked() {
    d.sim.runPending();
    const auto posted = static_cast<std::size_t>(std::count(d.sim.log.begin(), d.sim.log.end(), "postStopKey"));
    return std::exchange(stopsSeen, posted) < posted;
  }
  std::size_t stopsSeen = 0;
};

TEST_F(HotKey, AnSTypedEarlierDoesNotMakeCtrlCAStop) {
  type("this is a test");
  chord({kVkControl}, kVkC);
  EXPECT_FALSE(stopAsked());
  EXPECT_EQ(d.sim.hookResults.size(), 32u);
  EXPECT_EQ(d.sim.nextHookCalls, 32) << "every key went on down the chain";
}

TEST_F(HotKey, CtrlShiftSStopsOnTheKeyDownAndGoesOnDownTheChain) {
  down(kVkControl);
  down(kVkShift);
  down(kVkS);
  EXPECT_TRUE(stopAsked()) << "the S key-down itself, before its key state changes";
  EXPECT_EQ(d.sim.nextHookCalls, 3) << "the stop key too goes on to the hooks after ours";
  up(kVkS);
  up(kVkShift);
  up(kVkControl);
  d.sim.runPending();
  EXPECT_EQ(d.sim.nextHookCalls, 6);
}

// Ctrl+S is Save in nearly every program, and AltGr (left Ctrl, then right
// Alt) types letters with S on some keyboards.
TEST_F(HotKey, OnlyCtrlShiftSWithoutAltOrWindowsKeyStops) {
  const struct {
    std::vector<int> held;
    bool stops;
  } cases[] = {
      {{kVkControl, kVkShift}, true},
      {{kVkLControl, kVkLShift}, true},
      {{kVkControl}, false},
      {{kVkShift}, false},
      {{kVkControl, kVkMenu}, false},
      {{kVkLControl, kVkRMenu}, false},
      {{kVkLControl, kVkRMenu, kVkShift}, false},
      {{kVkLWin, kVkControl, kVkShift}, false},
      {{}, false},
  };
  for (const auto& c : cases) {
    std::string shown;
    for (int vk : c.held) shown += std::to_string(vk) + "+";
    const auto posted = std::count(d.sim.log.begin(), d.sim.log.end(), "postStopKey");
    const std::size_t keys = d.sim.hookResults.size();
    const int passedOn = d.sim.nextHookCalls;
    for (int vk : c.held) down(vk);
    tap(kVkS);
    for (auto it = c.held.rbegin(); it != c.held.rend(); ++it) up(*it);
    EXPECT_EQ(std::count(d.sim.log.begin(), d.sim.log.end(), "postStopKey") > posted, c.stops) << shown << "S";
    EXPECT_EQ(d.sim.nextHookCalls - passedOn, static_cast<int>(d.sim.hookResults.size() - keys))
        << shown << "S: every key goes on down the chain";
  }
}

TEST_F(HotKey, CtrlAndShiftReleasedBeforeSIsAPlainS) {
  tap(kVkControl);
  tap(kVkShift);
  tap(kVkS);
  EXPECT_FALSE(stopAsked());
}

TEST_F(HotKey, OnlyTheSKeyDownIsLookedInto) {
  for (int vk : {kVkControl, kVkC, 0x41, kVkShift}) down(vk);
  up(kVkS);
  d.sim.runPending();
  EXPECT_EQ(d.sim.keyStateQueries, 0) << "no key-state query for any other event";
  down(kVkS);
  d.sim.runPending();
  EXPECT_LE(d.sim.keyStateQueries, 5);
}

TEST_F(HotKey, CodesOtherThanActionGoStraightDownTheChain) {
  EXPECT_EQ(f.run.keyboardHook().onKeyEvent(d.sim, 3, kWmKeyDown, kVkS), 0);
  EXPECT_EQ(d.sim.keyStateQueries, 0);
  EXPECT_EQ(d.sim.nextHookCalls, 1);
}

TEST_F(HotKey, SRepeatingWhileHeldStopsTheRunOnceAndTheNextRunStartsNormally) {
  bool runningAgain = false;
  bool stoppedByTheFirstS = false;
  d.sim.at(7000, [&] {
    down(kVkControl);
    down(kVkShift);
    for (int i = 0; i < 5; ++i) down(kVkS);  // the keyboard's repeat
  });
  d.sim.at(7001, [&] { stoppedByTheFirstS = !f.run.tickTimer().enabled(); });
  d.sim.at(7100, [&] {
    up(kVkS);
    up(kVkShift);
    up(kVkControl);
  });
  d.sim.userClick(MainWindow::kRunButton);
  d.sim.runPending();
  EXPECT_EQ(d.sim.control(MainWindow::kRunButton).text, kStartCaption);
  EXPECT_TRUE(stoppedByTheFirstS);

  d.sim.at(3000, [&] { runningAgain = d.sim.control(MainWindow::kRunButton).text == kStopCaption; });
  d.sim.at(4000, [&] { chord({kVkControl, kVkShift}, kVkS); });
  d.sim.userClick(MainWindow::kRunButton);
  d.sim.runPending();
  EXPECT_TRUE(runningAgain) << "the repeats after the stop are cleared by the next start";
}

TEST_F(HotKey, TheWindowComesForwardOnceTheKeysAreLetGo) {
  struct Seen {
    bool visible = true, cursorShown = false, running = true;
  } held;
  bool hiddenBefore = false;
  d.sim.at(9000, [&] {
    hiddenBefore = d.sim.cursorDisplayCount < 0;
    down(kVkControl);
    down(kVkShift);
  });
  d.sim.at(9050, [&] { down(kVkS); });
  d.sim.at(9200, [&] {
    held = {d.sim.windowVisible(), d.sim.cursorDisplayCount >= 0, f.run.tickTimer().enabled()};
    up(kVkS);
  });
  d.sim.at(9250, [&] { up(kVkShift); });
  d.sim.at(9300, [&] { up(kVkControl); });
  d.sim.userClick(MainWindow::kRunButton);
  d.sim.runPending();
  ASSERT_TRUE(hiddenBefore);
  EXPECT_FALSE(held.running) << "stopped at the S key-down";
  EXPECT_TRUE(held.cursorShown) << "the cursor shows at once";
  EXPECT_FALSE(held.visible) << "the window waits while the keys are down";
  EXPECT_TRUE(d.sim.windowVisible());
  EXPECT_GE(d.sim.nowMs(), 9300);
  EXPECT_LT(d.sim.nowMs(), 9400) << "and comes as soon as they are up";
}

// A key seen by the hook was input to the program in front, not to us: Windows
// may refuse us the foreground, and the window would open unseen behind.
TEST_F(HotKey, AStopRefusedTheForegroundFlashesTheTaskbarButton) {
  for (const bool refused : {false, true}) {
    d.sim.foregroundRefused = refused;
    const int flashes = d.sim.taskbarFlashes;
    d.sim.at(7000, [&] { chord({kVkControl, kVkShift}, kVkS); });
    d.sim.userClick(MainWindow::kRunButton);
    d.sim.runPending();
    ASSERT_TRUE(d.sim.windowVisible());
    EXPECT_EQ(d.sim.taskbarFlashes - flashes, refused ? 1 : 0) << (refused ? "refused" : "granted");
  }
}

TEST_F(HotKey, KeysHeldDownDelayTheWindowByASecondAtMost) {
  d.sim.at(7000, [&] {
    down(kVkControl);
    down(kVkShift);
    down(kVkS);
  });
  d.sim.at(9000, [&] {
    EXPECT_TRUE(d.sim.windowVisible()) << "a second after the stop, keys or not";
    up(kVkS);
    up(kVkShift);
    up(kVkControl);
  });
  d.sim.userClick(MainWindow::kRunButton);
  d.sim.runPending();
  EXPECT_TRUE(d.sim.windowVisible());
  EXPECT_LE(d.sim.nowMs(), 8100);
  d.sim.advance(2000);
}

TEST_F(HotKey, EachRunPutsInAHookOfItsOwnAndTakesItOut) {
  d.sim.dropKeyboardHooks();  // it once ran too long
  d.sim.at(7000, [&] { chord({kVkControl, kVkShift}, kVkS); });
  d.sim.userClick(MainWindow::kRunButton);
  d.sim.runPending();
  EXPECT_EQ(d.sim.control(MainWindow::kRunButton).text, kStartCaption);
  EXPECT_EQ(d.sim.nowMs(), 7000);
  EXPECT_EQ(d.sim.keyboardHooks(), 0u) << "no keys are looked at between runs";

  // A live hook replaced leaves one hook, so every key is seen once.
  f.run.keyboardHook().install();
  std::size_t hooks = 0;
  int passedOn = 0;
  d.sim.at(6000, [&] {
    hooks = d.sim.keyboardHooks();
    const int before = d.sim.nextHookCalls;
    tap(kVkC);
    passedOn = d.sim.nextHookCalls - before;
  });
  d.sim.at(7000, [&] { chord({kVkControl, kVkShift}, kVkS); });
  d.sim.userClick(MainWindow::kRunButton);
  d.sim.runPending();
  EXPECT_EQ(hooks, 1u);
  EXPECT_EQ(passedOn, 2) << "a key down and up, each through our procedure once";
  EXPECT_EQ(d.sim.keyboardHooks(), 0u);
}

TEST_F(HotKey, UnlockingOrWakingDuringARunPutsBackAHookThatWindowsDropped) {
  d.sim.at(5000, [&] {
    d.sim.dropKeyboardHooks();
    d.sim.sessionResumed();
  });
  d.sim.at(7000, [&] { chord({kVkControl, kVkShift}, kVkS); });
  d.sim.userClick(MainWindow::kRunButton);
  d.sim.runPending();
  EXPECT_EQ(d.sim.control(MainWindow::kRunButton).text, kStartCaption);
  EXPECT_EQ(d.sim.nowMs(), 7000) << "stopped by the key";
  d.sim.sessionResumed();
  d.sim.runPending();
  EXPECT_EQ(d.sim.keyboardHooks(), 0u) << "outside a run, none is put in";
}

// Windows may take the hook away during a run without a word. Keys typed
// that it never saw give it away at the next tick, which puts it back once;
// a hook that sees the keys is left alone.
TEST(KeyboardHookLife, ATickPutsBackAHookThatKeysWentPastOnceAndOnlyOnce) {
  for (const bool dropped : {false, true}) {
    Desktop d;
    d.start();
    const auto typeKeys = [&] {
      for (int vk : {0x48, 0x49, 0x4A}) {
        d.sim.userKey(vk, true);
        d.sim.userKey(vk, false);
      }
    };
    d.sim.at(6100, [&] {
      if (dropped) d.sim.dropKeyboardHooks();
    });
    d.sim.at(6200, typeKeys);  // before the tick at 7 s
    d.sim.at(7200, typeKeys);  // before the tick at 8 s
    d.sim.at(8500, [&] { d.chord({kVkControl, kVkShift}, kVkS); });
    d.sim.userClick(MainWindow::kRunButton);
    d.sim.runPending();
    const char* how = dropped ? "dropped" : "alive";
    EXPECT_EQ(std::count(d.sim.log.begin(), d.sim.log.end(), "setKeyboardHook"), dropped ? 2 : 1) << how;
    EXPECT_EQ(d.sim.control(MainWindow::kRunButton).text, kStartCaption) << how;
    EXPECT_EQ(d.sim.nowMs(), 8500) << how << ": the stop key works again";
  }
}

// The hook does not wait for the GUI thread: a key that comes while it reads
// the user's cursor files is answered at once, and the run ends once the
// thread is free.
TEST_F(HotKey, AStopKeyWhileTheGuiThreadIsBusyEndsTheRun) {
  std::size_t answeredWhileBusy = 0;
  d.sim.whileRestoringCursors = [&] {
    if (!f.run.tickTimer().enabled()) return;
    d.sim.whileRestoringCursors = nullptr;
    const std::size_t before = d.sim.hookResults.size();
    chord({kVkControl, kVkShift}, kVkS);
    answeredWhileBusy = d.sim.hookResults.size() - before;
    d.sim.elapse(1500);  // past the longest time Windows lets a hook take
  };
  d.sim.at(9000, [&] { d.sim.userMoveMouse({40, 40}); });
  d.sim.userClick(MainWindow::kRunButton);
  d.sim.runPending();
  EXPECT_EQ(answeredWhileBusy, 6u);
  EXPECT_EQ(d.sim.control(MainWindow::kRunButton).text, kStartCaption);
  EXPECT_LT(d.sim.nowMs(), 9000 + 1500 + 1100) << "the stop came as soon as the thread was free";
  EXPECT_EQ(d.sim.keyboardHooks(), 0u) << "taken out with the run";
}

// A mouse report and the stop key both come from the input thread, through
// the same queue: the form hears them in the order they happened, however
// long the GUI thread was busy before it looked.
TEST(InputThread, InputSeenWhileTheGuiThreadIsBusyReachesTheFormInOrder) {
  for (const bool keyFirst : {false, true}) {
    Desktop fresh;
    MainWindow& form = fresh.start();
    const auto move = [&] { fresh.sim.userMoveMouse({50, 50}); };
    const auto key = [&] {
      for (int vk : {kVkControl, kVkShift, kVkS}) fresh.sim.userKey(vk, true);
      for (int vk : {kVkS, kVkShift, kVkControl}) fresh.sim.userKey(vk, false);
    };
    fresh.sim.at(9000, [&] {
      ASSERT_TRUE(form.run.concealed());
      fresh.sim.elapse(1500);
      keyFirst ? key() : move();
      keyFirst ? move() : key();
    });
    fresh.sim.userClick(MainWindow::kRunButton);
    fresh.sim.runPending();
    const auto heard = fresh.logOf({"heard"});
    const std::vector<std::string> expected = keyFirst
                                                  ? std::vector<std::string>{"heard stop key", "heard mouse input"}
                                                  : std::vector<std::string>{"heard mouse input", "heard stop key"};
    EXPECT_EQ(heard, expected) << (keyFirst ? "key, then move" : "move, then key");
    EXPECT_EQ(fresh.sim.control(MainWindow::kRunButton).text, kStartCaption);
  }
}

TEST_F(HotKey, AHookThatCannotBeReinstalledKeepsTheOldOne) {
  const HookHandle installed = f.run.keyboardHook().handle();
  d.sim.failKeyboardHook = true;
  f.run.keyboardHook().reinstall();
  EXPECT_EQ(f.run.keyboardHook().handle(), installed);
  chord({kVkControl, kVkShift}, kVkS);
  EXPECT_TRUE(stopAsked());
}

// A start costs no hook (nor the thread that would serve it); a close during
// a run takes the run's hook out.
TEST(KeyboardHookLife, InForARunOnlyAndOutAtClose) {
  Desktop d;
  d.start();
  EXPECT_EQ(d.sim.keyboardHooks(), 0u);
  std::size_t during = 0;
  d.sim.at(7000, [&] {
    during = d.sim.keyboardHooks();
    d.sim.userClose();
  });
  d.sim.userClick(MainWindow::kRunButton);
  EXPECT_THROW(d.sim.runPending(), ProcessEnded);
  EXPECT_EQ(during, 1u);
  EXPECT_EQ(d.sim.keyboardHooks(), 0u);
}

}  // namespace
}  // namespace pellucor::test
