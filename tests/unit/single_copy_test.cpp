// One copy at a time: a second start asks the first to show its window and
// touches nothing else, above all not the system cursors the first may be
// hiding.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "app/app.h"
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
  ASSERT_GE(sim.log.size(), 2u);
  EXPECT_EQ(sim.log[0], "claimOnlyCopy");
  EXPECT_EQ(sim.log[1], "createForm");
  EXPECT_TRUE(sim.windowVisible());
  EXPECT_EQ(sim.showRequestsSent, 0);
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
