// The run on its own, with no main window: what it asks of the window it is
// given, and what it tells its observer, for each way a run can end.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "hider/hiding_run.h"
#include "platform/sim/sim_desktop.h"

namespace pellucor::test {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;

// Writes down what the run asked of the window and told its observer.
struct Recorder final : RunWindow, RunObserver {
  std::vector<std::string> calls;
  const HidingRun* run = nullptr;
  void leaveForRun() override { calls.push_back("leave"); }
  void showAfterRun() override { calls.push_back("show"); }
  void focusAfterRun() override { calls.push_back("focus"); }
  void backFromRun() override { calls.push_back("back"); }
  void stopAsked() override { calls.push_back("stop asked"); }
  void onRunChanged() override { calls.push_back(run->running() ? "running" : "stopped"); }
  void onHideKeyRefused(const KeyChord&) override { calls.push_back("hide key refused"); }
};

struct AloneRun : ::testing::Test {
  sim::SimDesktop sim;
  Recorder seen;
  HidingRun run{sim, sim, sim, sim, sim, sim, sim, sim, sim, seen};

  AloneRun() {
    seen.run = &run;
    run.setObserver(&seen);
    sim.reportInputTo(&run);
  }
  void stopKey() {
    for (int vk : {kVkControl, kVkShift, kVkS}) sim.userKey(vk, true);
    for (int vk : {kVkS, kVkShift, kVkControl}) sim.userKey(vk, false);
  }
  bool hidden() const { return sim.cursorDisplayCount < 0 && sim.systemCursorsHidden; }
};

TEST_F(AloneRun, EachWayOfStoppingAsksTheWindowBackOrLeavesItBe) {
  const std::vector<std::string> back = {"running", "leave", "stop asked", "stopped", "show", "focus", "back"};
  const struct {
    const char* how;
    std::vector<std::string> calls;
  } cases[] = {
      {"stop key", back},
      // The click's own stop and the outer loop's each run the stop sequence.
      {"click",
       {"running", "leave", "stop asked", "stopped", "show", "focus", "back", "stopped", "show", "focus", "back"}},
      {"command", {"running", "leave", "stop asked", "stopped"}},
  };
  for (const auto& c : cases) {
    seen.calls.clear();
    const std::string how = c.how;
    bool hiddenBeforeStop = false;
    sim.at(5000, [&] {
      hiddenBeforeStop = hidden();
      if (how == "stop key") stopKey();
      if (how == "click") run.startOrStop();
      if (how == "command") run.stopQuietly();
    });
    run.startOrStop();
    EXPECT_TRUE(hiddenBeforeStop) << how << ": resting for 3 s hid the pointer";
    EXPECT_FALSE(hidden()) << how;
    EXPECT_FALSE(run.running()) << how;
    EXPECT_FALSE(run.tickTimer().enabled()) << how;
    EXPECT_THAT(seen.calls, ElementsAreArray(c.calls)) << how;
  }
}

TEST_F(AloneRun, TheTickCountsToTheSecondsItWasLastGiven) {
  run.setIdleSeconds("7");
  std::vector<bool> hiddenAt;
  for (int s : {6500, 7500}) sim.at(s, [&] { hiddenAt.push_back(hidden()); });
  sim.at(8000, [&] { stopKey(); });
  run.startOrStop();
  EXPECT_THAT(hiddenAt, ElementsAre(false, true));
}

// A choice changed during a run applies at once: typing is watched from the
// moment it is asked for, and not after the run.
TEST_F(AloneRun, OptionsTakeEffectDuringTheRun) {
  Options typing;
  typing.hideWhileTyping = true;
  std::vector<bool> watched;
  sim.at(1000, [&] { watched.push_back(run.keyboardHook().typingWatched()); });
  sim.at(1500, [&] { run.setOptions(typing); });
  sim.at(2000, [&] {
    watched.push_back(run.keyboardHook().typingWatched());
    sim.userKey(0x48, true);  // H, typed elsewhere
    sim.userKey(0x48, false);
  });
  sim.at(2001, [&] { watched.push_back(hidden()); });
  sim.at(2500, [&] { stopKey(); });
  run.startOrStop();
  EXPECT_THAT(watched, ElementsAre(false, true, true));
  EXPECT_FALSE(run.keyboardHook().typingWatched());
}

}  // namespace
}  // namespace pellucor::test
