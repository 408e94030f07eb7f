// The guardian: recognised only by its exact switch, started once at the
// first hide, and its decisions over a main process that dies or hangs.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "harness.h"
#include "hider/guardian.h"

namespace pellucor::test {
namespace {

using ::testing::ElementsAre;

TEST(GuardianSwitch, OnlyTheExactSwitchWithThreeNumbersMakesAGuardian) {
  const GuardianLink link{1234, 5678, 655460};
  const std::string args = GuardianArguments(link);
  EXPECT_EQ(args, "/guardian 1234 5678 655460");
  const auto parsed = GuardianSwitch({"/guardian", "1234", "5678", "655460"});
  ASSERT_TRUE(parsed);
  EXPECT_EQ(parsed->process, 1234u);
  EXPECT_EQ(parsed->note, 5678u);
  EXPECT_EQ(parsed->window, 655460u);

  const std::vector<std::vector<std::string>> ordinary = {
      {},
      {"/guardian"},
      {"/GUARDIAN", "1", "2", "3"},
      {"-guardian", "1", "2", "3"},
      {"/guardian", "1", "2"},
      {"/guardian", "1", "2", "3", "4"},
      {"/guardian", "1", "2", "x"},
      {"/guardian", "0", "2", "3"},
      {"/guardian", "01", "2", "3"},
      {"/guardian", "-1", "2", "3"},
      {"/guardian", "+1", "2", "3"},
      {"/guardian", "1 ", "2", "3"},
      {"/guardian", "18446744073709551616", "2", "3"},
      {"C:\\Users\\me\\notes.txt"},
  };
  for (const auto& args : ordinary) {
    std::string shown;
    for (const auto& a : args) shown += "[" + a + "]";
    EXPECT_FALSE(GuardianSwitch(args)) << shown;
  }
}

struct MainSide : ::testing::Test {
  Desktop d;
  Form1& f = d.start();
  void ticks(int n) {
    for (int i = 0; i < n; ++i) f.Timer1_Timer();
  }
};

TEST_F(MainSide, OneGuardianAtTheFirstHideAndNoneBefore) {
  EXPECT_EQ(d.sim.guardiansStarted, 0) << "a program that never hid needs none";
  ticks(3);
  EXPECT_EQ(d.sim.guardiansStarted, 1);
  ticks(10);
  d.sim.userMoveMouse({9, 9});
  ticks(4);
  EXPECT_TRUE(d.sim.systemCursorsHidden) << "hidden a second time";
  EXPECT_EQ(d.sim.guardiansStarted, 1) << "not one per hide";

  d.sim.at(9000, [&] { d.sim.userKey(0x11, true); });
  d.sim.at(9000, [&] { d.sim.userKey(0x53, true); });
  d.sim.userClick(Form1::kPushButton2);
  d.sim.runPending();
  EXPECT_EQ(d.sim.guardiansStarted, 1) << "not one per run";
}

TEST_F(MainSide, TheNoteCoversEveryMomentTheCursorsAreBlank) {
  ticks(3);
  d.sim.userMoveMouse({1, 1});
  d.sim.runPending();
  EXPECT_THAT(d.logOf({"note", "hideSystemCursors", "restoreSystemCursors"}),
              ElementsAre("restoreSystemCursors", "note clear",    // the start's repair
                          "note blank", "hideSystemCursors",       // set before
                          "restoreSystemCursors", "note clear"));  // cleared after
}

TEST_F(MainSide, HidingWorksWithoutAGuardian) {
  d.sim.failStartGuardian = true;
  ticks(3);
  EXPECT_TRUE(d.sim.systemCursorsHidden);
  EXPECT_LT(d.sim.cursorDisplayCount, 0);
}

TEST_F(MainSide, OnceItAnswersAgainTheNextStillTickBlanksWhatTheGuardianPutBack) {
  ticks(3);
  // The guardian, while this process hung.
  d.sim.restoreSystemCursors();
  d.sim.blankNote = false;
  ticks(1);
  EXPECT_TRUE(d.sim.systemCursorsHidden);
  EXPECT_TRUE(d.sim.blankNote);
  EXPECT_EQ(d.sim.systemCursorReplacements, 2);
  ticks(5);
  EXPECT_EQ(d.sim.systemCursorReplacements, 2) << "and only then";
}

// The guardian process itself, on a desktop of its own.
struct GuardianSide : ::testing::Test {
  sim::SimDesktop sim;
  int restores() const { return static_cast<int>(std::count(sim.log.begin(), sim.log.end(), "restoreSystemCursors")); }
  void TearDown() override {
    EXPECT_EQ(std::count(sim.log.begin(), sim.log.end(), "hideSystemCursors"), 0) << "a guardian never blanks";
  }
};

TEST_F(GuardianSide, AttachesOnlyToTheLinkItWasGiven) {
  EXPECT_TRUE(sim.attachGuardian(sim.mainLink));
  GuardianLink other = sim.mainLink;
  ++other.window;
  EXPECT_FALSE(sim.attachGuardian(other));
}

TEST_F(GuardianSide, TheMainProcessKilledWhileTheCursorsAreBlankGetsThemBackAtOnce) {
  sim.at(2000, [&] { sim.blankNote = true; });
  sim.at(12345, [&] { sim.mainEnded = true; });
  EXPECT_EQ(RunGuardian(sim), 0);
  EXPECT_EQ(restores(), 1);
  EXPECT_FALSE(sim.blankNote);
  EXPECT_EQ(sim.nowMs(), 12345) << "no wait after the main process ended";
}

TEST_F(GuardianSide, ANormalEndHasNothingLeftToRestore) {
  sim.at(2000, [&] { sim.blankNote = true; });
  sim.at(5000, [&] { sim.blankNote = false; });
  sim.at(9000, [&] { sim.mainEnded = true; });
  EXPECT_EQ(RunGuardian(sim), 0);
  EXPECT_EQ(restores(), 0);
  EXPECT_EQ(sim.nowMs(), 9000);
}

TEST_F(GuardianSide, AHungMainHasTheCursorsRestoredAfterFiveSecondsAndMayBlankThemAgain) {
  sim.at(1000, [&] { sim.blankNote = true; });
  sim.at(3000, [&] { sim.mainHung = true; });
  sim.at(7900, [&] { EXPECT_TRUE(sim.blankNote) << "under five seconds: still the main process's business"; });
  sim.at(10000, [&] {
    EXPECT_FALSE(sim.blankNote) << "five seconds without an answer";
    EXPECT_EQ(restores(), 1);
  });
  sim.at(20000, [&] { sim.mainHung = false; });
  sim.at(25000, [&] { sim.blankNote = true; });  // its next hide
  sim.at(40000, [&] { EXPECT_TRUE(sim.blankNote) << "a main that answers keeps its blank cursors"; });
  sim.at(41000, [&] { sim.blankNote = false; });
  sim.at(42000, [&] { sim.mainEnded = true; });
  EXPECT_EQ(RunGuardian(sim), 0);
  EXPECT_EQ(restores(), 1);
}

TEST_F(GuardianSide, AMainBusyForUnderFiveSecondsIsLeftAlone) {
  sim.at(1000, [&] { sim.blankNote = true; });
  sim.at(3000, [&] { sim.mainHung = true; });
  sim.at(6900, [&] { sim.mainHung = false; });
  sim.at(20000, [&] { sim.mainEnded = true; });
  EXPECT_EQ(RunGuardian(sim), 0);
  EXPECT_EQ(restores(), 1) << "only the one for the end with the cursors blank";
}

}  // namespace
}  // namespace pellucor::test
