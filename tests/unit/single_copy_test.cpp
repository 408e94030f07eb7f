// One copy at a time: a second start asks the first to show its window and
// touches nothing else, above all not the system cursors the first may be
// hiding.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "app/app.h"
#include "command/command_line.h"
#include "harness.h"

namespace pellucor::test {
namespace {

using ::testing::ElementsAre;

TEST(SecondStart, OnlyAsksTheFirstCopyToShowItsWindow) {
  sim::SimDesktop sim;
  sim.anotherCopyRunning = true;
  sim.systemCursorsHidden = true;  // the first copy is hiding them
  EXPECT_EQ(runPellucor(sim), 0);
  EXPECT_THAT(sim.log, ElementsAre("claimOnlyCopy", "askOtherCopyToShow"));
  EXPECT_EQ(sim.showRequestsSent, 1);
  EXPECT_TRUE(sim.systemCursorsHidden) << "the first copy's blank cursors are its own business";
  EXPECT_FALSE(sim.created());
  EXPECT_TRUE(sim.shellRequests.empty());
}

// A copy running elevated made the claim with rights a plain start lacks:
// Windows refuses it access rather than saying it exists.
TEST(SecondStart, AClaimRefusedOrTakenMeansACopyRunsAndAnyOtherFailureStarts) {
  const std::pair<std::int32_t, bool> cases[] = {
      {kErrorSuccess, false}, {kErrorAlreadyExists, true}, {kErrorAccessDenied, true}, {87, false}, {1450, false}};
  for (const auto& [claim, another] : cases) EXPECT_EQ(AnotherCopyHoldsTheClaim(claim), another) << claim;

  sim::SimDesktop sim;
  sim.anotherCopyRunning = true;
  sim.otherCopyElevated = true;
  EXPECT_EQ(runPellucor(sim), 0);
  EXPECT_THAT(sim.log, ElementsAre("claimOnlyCopy", "askOtherCopyToShow"));
  EXPECT_FALSE(sim.created());
}

// Letting the user's normal programs through to an elevated copy lets
// sandboxed ones through too (a browser's, a PDF reader's): a plain copy,
// which hears them anyway, keeps every window shut to them.
TEST(SecondStart, ReachesAnElevatedCopyThroughTheOnlyWindowsThatOpenToLowerRights) {
  for (const bool elevated : {false, true}) {
    Desktop d;
    d.sim.elevated = elevated;
    d.start();
    EXPECT_EQ(d.sim.openToLowerRights(), elevated) << (elevated ? "elevated" : "plain");
    sim::SimDesktop plainStart;
    plainStart.anotherCopyRunning = true;
    plainStart.otherCopy = &d.sim;
    EXPECT_EQ(runPellucor(plainStart, {"/seconds", "7", "/silent"}), kExitDone) << (elevated ? "elevated" : "plain");
  }
}

TEST(SecondStart, FailsWhenTheFirstCopyCannotBeAsked) {
  sim::SimDesktop sim;
  sim.anotherCopyRunning = true;
  sim.otherCopyAnswers = false;
  EXPECT_EQ(runPellucor(sim), kExitNoCopy);
  EXPECT_FALSE(sim.created());
}

TEST(FirstStart, ClaimsTheSessionAndStartsAsUsual) {
  sim::SimDesktop sim;
  EXPECT_EQ(runPellucor(sim), 0);
  ASSERT_GE(sim.log.size(), 3u);
  EXPECT_EQ(sim.log[0], "claimOnlyCopy");
  EXPECT_EQ(sim.log[1], "startOutsideJob");  // in no job: nothing is started
  EXPECT_EQ(sim.log[2], "createForm");
  EXPECT_TRUE(sim.windowVisible());
  EXPECT_EQ(sim.showRequestsSent, 0);
}

// A start in a job (a scheduled task's) lives and dies with it, and so
// does the guardian where the job keeps it: where the job lets it, the
// program starts again outside with the same command line, and this start
// ends with how that went.
TEST(StartInAJob, BecomesTheProgramOutsideTheJobWhereTheJobAllowsAndEndsWithItsAnswer) {
  struct Case {
    const char* what;
    bool inJob, breakaway;
    std::optional<int> copyEnds;
    bool copyAnswers;
    bool startsOutside, runsHere;
    int exitCode;
  };
  const Case cases[] = {
      {"in no job", false, true, {}, true, false, true, kExitDone},
      {"the job keeps its processes", true, false, {}, true, false, true, kExitDone},
      {"the copy outside runs", true, true, {}, true, true, false, kExitDone},
      {"the copy outside was refused by one that runs", true, true, kExitRefused, true, true, false, kExitRefused},
      {"the copy outside does not answer", true, true, {}, false, true, false, kExitNoCopy},
  };
  for (const Case& c : cases) {
    sim::SimDesktop sim;
    sim.inJob = c.inJob;
    sim.jobAllowsBreakaway = c.breakaway;
    sim.copyOutsideJobEnds = c.copyEnds;
    sim.copyOutsideJobAnswers = c.copyAnswers;
    EXPECT_EQ(runPellucor(sim, {"/seconds", " 7 ", "/silent"}), c.exitCode) << c.what;
    EXPECT_EQ(sim.startedOutsideJob, c.startsOutside ? std::vector<std::string>{"/outside-job /seconds \" 7 \" /silent"}
                                                     : std::vector<std::string>{})
        << c.what;
    EXPECT_EQ(sim.created(), c.runsHere) << c.what;
    EXPECT_TRUE(sim.boxes.empty()) << c.what << ": /silent";
  }
}

// Only a start that would become the running copy goes: one with no copy
// to stop or close ends as ever, and the copy started outside never tries
// again, whatever job it may be in.
TEST(StartInAJob, OnlyAStartThatWouldBecomeTheRunningCopyGoesAndOnlyOnce) {
  const std::pair<std::vector<std::string>, bool> cases[] = {
      {{}, true},
      {{"/show"}, true},
      {{"/start", "/silent"}, true},
      {{"/stop", "/silent"}, false},
      {{"-EXIT", "/silent"}, false},
      {{"/outside-job"}, false},
      {{"/outside-job", "/seconds", "5"}, false},
  };
  for (const auto& [args, goes] : cases) {
    sim::SimDesktop sim;
    sim.inJob = true;
    runPellucor(sim, args);
    EXPECT_EQ(sim.startedOutsideJob.size(), goes ? 1u : 0u) << JoinArguments(args);
    EXPECT_TRUE(sim.boxes.empty()) << JoinArguments(args) << ": the switch is the program's own, no bad switch";
  }
}

struct ShowRequest : ::testing::Test {
  Desktop d;
  MainWindow& f = d.start();
  int balloons() const {
    return static_cast<int>(std::count_if(d.sim.shellRequests.begin(), d.sim.shellRequests.end(),
                                          [](const auto& r) { return !r.data.info.empty(); }));
  }
};

TEST_F(ShowRequest, BringsTheWindowOutOfTheTrayAndTheRunGoesOn) {
  struct Seen {
    bool visible = false, inTray = true, running = false;
  } after;
  d.sim.at(7000, [&] {
    ASSERT_FALSE(d.sim.windowVisible());
    d.sim.requestShow();
  });
  d.sim.at(7001, [&] {
    after = {d.sim.windowVisible(), f.tray.hiddenInTray(),
             f.run.tickTimer().enabled() && d.sim.control(MainWindow::kRunButton).text == kStopCaption};
  });
  d.sim.at(9000, [&] {
    d.sim.userKey(0x11, true);
    d.sim.userKey(0x10, true);
    d.sim.userKey(0x53, true);
    d.sim.userKey(0x53, false);
    d.sim.userKey(0x10, false);
    d.sim.userKey(0x11, false);
  });
  d.sim.userClick(MainWindow::kRunButton);
  d.sim.runPending();
  EXPECT_TRUE(after.visible);
  EXPECT_FALSE(after.inTray);
  EXPECT_TRUE(after.running) << "the run is not touched";
  EXPECT_EQ(balloons(), 1) << "the start's balloon only, as after a tray click";
}

TEST_F(ShowRequest, BeforeAnyMinimiseShowsTheOnceBalloonAsATrayClickWould) {
  d.sim.requestShow();
  d.sim.runPending();
  EXPECT_TRUE(d.sim.windowVisible());
  EXPECT_EQ(balloons(), 1);
  d.sim.requestShow();
  d.sim.runPending();
  EXPECT_EQ(balloons(), 1);
}

}  // namespace
}  // namespace pellucor::test
