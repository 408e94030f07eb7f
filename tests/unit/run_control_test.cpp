#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "harness.h"
#include "hider/keyboard_hook.h"

namespace pellucor::test {
namespace {

constexpr std::intptr_t kLeftUp = 0x202;

struct RunControl : ::testing::Test {
  Desktop d;
  MainWindow& f = d.start();
  std::vector<std::string> clickSteps;  // "line N" of the run button's handler only

  void SetUp() override {
    f.setStepObserver([this](std::string_view location, int line) {
      if (location == kClickLocation) clickSteps.push_back("line " + std::to_string(line));
    });
  }
  int clickStep(int line) const {
    return static_cast<int>(std::count(clickSteps.begin(), clickSteps.end(), "line " + std::to_string(line)));
  }

  void pressHotKey(bool withShift = true) {
    d.sim.userKey(kVkControl, true);
    if (withShift) d.sim.userKey(0x10, true);
    d.sim.userKey(kVkS, true);
    d.sim.userKey(kVkS, false);
    if (withShift) d.sim.userKey(0x10, false);
    d.sim.userKey(kVkControl, false);
  }
  // Clicks the run button and returns once the run it started has ended.
  void run() {
    d.sim.userClick(MainWindow::kRunButton);
    d.sim.runPending();
  }
  std::string caption() { return d.sim.control(MainWindow::kRunButton).text; }
  int count(const std::string& entry) const {
    return static_cast<int>(std::count(d.sim.log.begin(), d.sim.log.end(), entry));
  }
  void expectStopped() {
    EXPECT_EQ(caption(), kStartCaption);
    EXPECT_TRUE(d.sim.windowVisible());
    EXPECT_FALSE(f.tray.hiddenInTray());
    EXPECT_FALSE(f.run.tickTimer().enabled());
    EXPECT_GE(d.sim.cursorDisplayCount, 0);
    EXPECT_FALSE(d.sim.systemCursorsHidden);
  }
};

TEST_F(RunControl, AStartedRunHidesIntoTheTrayAndHidesTheRestingCursor) {
  struct Seen {
    std::string caption;
    bool visible = true, timer = false;
    int count = 0;
  } at6{}, at9{};
  d.sim.userMoveMouse({10, 10});
  d.sim.at(6000, [&] {
    at6 = {caption(), d.sim.windowVisible(), f.run.tickTimer().enabled(), d.sim.cursorDisplayCount};
  });
  d.sim.at(9000, [&] {
    at9 = {caption(), d.sim.windowVisible(), f.run.tickTimer().enabled(), d.sim.cursorDisplayCount};
  });
  d.sim.at(9500, [&] { d.sim.userMoveMouse({11, 10}); });
  d.sim.at(10500, [&] { EXPECT_GE(d.sim.cursorDisplayCount, 0) << "shown at the next tick after moving"; });
  d.sim.at(12000, [&] { pressHotKey(); });
  run();
  EXPECT_EQ(at6.caption, kStopCaption);
  EXPECT_FALSE(at6.visible);
  EXPECT_TRUE(at6.timer);
  // The balloon's five seconds pass inside the start; the run's first tick
  // comes a second after it, so the third resting tick is at 8 s.
  EXPECT_GE(at6.count, 0);
  EXPECT_LT(at9.count, 0);
  expectStopped();
  EXPECT_EQ(d.sim.nowMs(), 12000);
}

// Restart Manager starts the program again with what it was told last,
// after an installer closed it: during a run, a start of a run that shows
// no box; otherwise a plain start.
TEST_F(RunControl, ARestartAfterAnInstallerResumesARunThatWasOn) {
  std::vector<std::string> during;
  d.sim.at(7000, [&] {
    during = d.logOf({"registerForRestart"});
    pressHotKey();
  });
  run();
  EXPECT_THAT(during, ::testing::ElementsAre("registerForRestart ", "registerForRestart /start /silent"));
  EXPECT_EQ(d.logOf({"registerForRestart"}).back(), "registerForRestart ") << "the run is over";
}

TEST_F(RunControl, TheRunLoopSleepsBetweenPasses) {
  d.sim.at(60000, [&] { pressHotKey(); });
  run();
  EXPECT_LT(count("processPendingMessages"), 200) << "a minute of running pumps about once per tick";
  EXPECT_GT(count("waitForMessages"), 50);
}

TEST_F(RunControl, TheHotKeyStopsEveryRunAndCtrlSWithoutShiftIsSave) {
  for (int i = 0; i < 3; ++i) {
    bool runningAfterSave = false;
    d.sim.at(7000, [&] { pressHotKey(false); });
    d.sim.at(8000, [&] { runningAfterSave = caption() == kStopCaption && f.run.tickTimer().enabled(); });
    d.sim.at(9000, [&] { pressHotKey(); });
    run();
    expectStopped();
    EXPECT_TRUE(runningAfterSave) << "run " << i;
  }
  EXPECT_EQ(std::count_if(d.sim.shellRequests.begin(), d.sim.shellRequests.end(),
                          [](const auto& r) { return !r.data.info.empty(); }),
            1)
      << "only the first run shows the balloon";
}

TEST_F(RunControl, AStopClickDuringTheRunRunsTheStopSequenceTwice) {
  d.sim.at(7000, [&] { d.sim.trayMessage(f.tray.trayIcon.ControlWindow(), 0, kLeftUp); });
  d.sim.at(8000, [&] {
    EXPECT_TRUE(d.sim.windowVisible());
    d.sim.userClick(MainWindow::kRunButton);
  });
  run();
  expectStopped();
  EXPECT_EQ(clickStep(120), 1);
  EXPECT_EQ(clickStep(142), 2) << "nested stop, then the outer loop's";
  EXPECT_EQ(f.run.tickTimer().interval(), 0u);
  EXPECT_EQ(d.sim.focused(), MainWindow::kRunButton) << "the window has the focus back, on the clicked button";
}

// The first run's balloon keeps the start waiting for five seconds; a stop
// asked for meanwhile ends the run at once. The stop key brings the window
// back and the balloon goes with it; a command leaves both in the tray.
TEST_F(RunControl, AStopDuringTheStartsBalloonEndsTheRunAtOnce) {
  for (const bool byCommand : {false, true}) {
    Desktop local;
    MainWindow& form = local.start();
    local.sim.at(2000, [&] {
      if (byCommand) {
        form.commands.CarryOut({CommandAction::Stop, std::nullopt});
      } else {
        for (int vk : {kVkControl, kVkShift, kVkS}) local.sim.userKey(vk, true);
        for (int vk : {kVkS, kVkShift, kVkControl}) local.sim.userKey(vk, false);
      }
    });
    local.sim.userClick(MainWindow::kRunButton);
    local.sim.runPending();
    const char* how = byCommand ? "command" : "stop key";
    EXPECT_EQ(local.sim.control(MainWindow::kRunButton).text, kStartCaption) << how;
    EXPECT_LE(local.sim.nowMs(), 2100) << how;
    EXPECT_EQ(local.sim.windowVisible(), !byCommand) << how;
    const bool balloonUp = !local.sim.shellRequests.back().data.info.empty();
    EXPECT_EQ(balloonUp, byCommand) << how << ": the balloon goes with the window, or stays for its time";
    local.sim.advance(5000);
    EXPECT_EQ(local.sim.shellRequests.back().data.info, "") << how;
  }
}

TEST_F(RunControl, TheHotKeyStopsARunWhoseTicksKeepFailing) {
  d.sim.at(6500, [&] { f.idleSecondsField.setText("abc"); });
  bool first = true;
  d.sim.answerBox = [&](const sim::MessageBoxRecord&) {
    if (first) {
      first = false;
      pressHotKey();
      d.sim.runPending();  // the box's own loop delivers the keys to the hook
      d.sim.elapse(1200);  // the user reads the box; the next tick falls due
    }
    return 1;
  };
  run();
  EXPECT_EQ(d.sim.boxes.size(), 1u) << "no tick after the stop was asked for";
  expectStopped();
}

TEST_F(RunControl, TheHotKeyBetweenRunsDoesNothing) {
  pressHotKey();
  d.sim.runPending();
  EXPECT_EQ(count("postStopKey"), 0) << "no keys are looked at between runs";
  EXPECT_FALSE(f.run.stopping());
  expectStopped();
  bool running = false;
  d.sim.at(7000, [&] { running = caption() == kStopCaption; });
  d.sim.at(8000, [&] { pressHotKey(); });
  run();
  EXPECT_TRUE(running) << "the next run starts normally";
}

// Whether a run is on is the run's to say: a caption set by anyone else
// changes nothing, and is made anew when the run changes.
TEST_F(RunControl, TheCaptionDecidesNothing) {
  f.runButton.setCaption("something else");
  bool running = false;
  d.sim.at(7000, [&] { running = caption() == kStopCaption; });
  d.sim.at(8000, [&] { pressHotKey(); });
  run();
  EXPECT_EQ(clickStep(104), 1);
  EXPECT_EQ(clickStep(120), 0);
  EXPECT_TRUE(running);
  expectStopped();
}

TEST_F(RunControl, AStopWithTheCursorHiddenLeavesItVisible) {
  d.sim.at(20000, [&] {
    EXPECT_LT(d.sim.cursorDisplayCount, 0);
    pressHotKey();
  });
  run();
  expectStopped();
  d.sim.advance(10000);
  EXPECT_GE(d.sim.cursorDisplayCount, 0) << "no tick after the stop";
}

TEST_F(RunControl, ClosingDuringARunShowsTheCursor) {
  d.sim.at(15000, [&] { d.sim.userClose(); });
  EXPECT_THROW(run(), ProcessEnded);
  EXPECT_GE(d.sim.cursorDisplayCount, 0);
  EXPECT_FALSE(d.sim.systemCursorsHidden);
}

TEST(HookFailure, AHookThatCannotBeInstalledLeavesEverythingElseWorking) {
  Desktop d;
  d.sim.failKeyboardHook = true;
  MainWindow& f = d.start();
  bool hooked = true, boxes = true;
  d.sim.at(6000, [&] {
    hooked = f.run.keyboardHook().handle() != 0;
    boxes = !d.sim.boxes.empty();
  });
  d.sim.at(7000, [&] { d.sim.trayMessage(f.tray.trayIcon.ControlWindow(), 0, kLeftUp); });
  d.sim.at(7500, [&] { d.sim.userClick(MainWindow::kRunButton); });
  d.sim.userClick(MainWindow::kRunButton);
  d.sim.runPending();
  EXPECT_FALSE(hooked);
  EXPECT_FALSE(boxes) << "the run goes on without its hook, and says nothing";
  EXPECT_EQ(d.sim.control(MainWindow::kRunButton).text, kStartCaption);
}

}  // namespace
}  // namespace pellucor::test
