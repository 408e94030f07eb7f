// The guardian: recognised only by its exact switch, started at a hide when
// none runs, and its decisions over a main process that dies or hangs.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "harness.h"
#include "hider/guardian.h"

namespace pellucor::test {
namespace {

using ::testing::ElementsAre;

TEST(GuardianSwitch, OnlyTheExactSwitchWithThreeNumbersMakesAGuardianOrItsLauncher) {
  const GuardianLink link{1234, 5678, 655460};
  EXPECT_EQ(GuardianArguments(link), "/guardian 1234 5678 655460");
  EXPECT_EQ(GuardianArguments(link, GuardianRole::Launcher), "/start-guardian 1234 5678 655460");
  for (const GuardianRole role : {GuardianRole::Guardian, GuardianRole::Launcher}) {
    const auto parsed =
        GuardianSwitch({role == GuardianRole::Launcher ? "/start-guardian" : "/guardian", "1234", "5678", "655460"});
    ASSERT_TRUE(parsed);
    EXPECT_EQ(parsed->role, role);
    EXPECT_EQ(parsed->link.process, 1234u);
    EXPECT_EQ(parsed->link.note, 5678u);
    EXPECT_EQ(parsed->link.window, 655460u);
  }

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
      {"/start-guardian", "1", "2"},
      {"/Start-Guardian", "1", "2", "3"},
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
  MainWindow& f = d.start();
  void ticks(int n) {
    for (int i = 0; i < n; ++i) f.run.onTick();
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
  d.sim.at(9000, [&] { d.sim.userKey(0x10, true); });
  d.sim.at(9000, [&] { d.sim.userKey(0x53, true); });
  d.sim.userClick(MainWindow::kRunButton);
  d.sim.runPending();
  EXPECT_EQ(d.sim.guardiansStarted, 1) << "not one per run";
}

TEST_F(MainSide, AGuardianThatCouldNotStartOrHasEndedIsStartedAgainAtTheNextHide) {
  d.sim.failStartGuardian = true;
  ticks(3);
  EXPECT_EQ(d.sim.guardiansStarted, 0);
  d.sim.failStartGuardian = false;
  d.sim.userMoveMouse({9, 9});
  ticks(4);
  EXPECT_EQ(d.sim.guardiansStarted, 1) << "tried again at the next hide";

  d.sim.guardianAlive = false;  // ended by someone
  d.sim.userMoveMouse({10, 10});
  ticks(4);
  EXPECT_EQ(d.sim.guardiansStarted, 2);
}

// Read only at the next hide, the launcher's answer may name a process that
// got the id of a guardian ended since: only this program's file, started
// while the launcher ran, is the guardian.
TEST(MainSideGuardian, AProcessThatGotTheIdOfAnEndedGuardianIsNoneAndAnotherIsStarted) {
  struct Case {
    const char* image;
    bool startedDuringLaunch;
    bool isGuardian;
  };
  const Case cases[] = {
      {"c:\\program files\\PELLUCOR\\Pellucor.EXE", true, true},  // the guardian, named in other letters
      {"C:\\Windows\\System32\\notepad.exe", false, false},
      {"C:\\Windows\\System32\\notepad.exe", true, false},
      {"C:\\Program Files\\Pellucor\\pellucor.exe", false, false},  // a later start of the program
      {"C:\\Old\\pellucor.exe", true, false},
      {"", true, false},  // its file could not be read
  };
  for (const Case& c : cases) {
    Desktop d;
    MainWindow& f = d.start();
    for (int i = 0; i < 3; ++i) f.run.onTick();
    ASSERT_EQ(d.sim.guardiansStarted, 1);
    d.sim.guardianAlive = false;
    d.sim.guardianIdTakenBy =
        sim::SimDesktop::IdTaker{c.image, c.startedDuringLaunch ? d.sim.guardianLaunchedMs + 1 : d.sim.nowMs() + 500};
    d.sim.userMoveMouse({9, 9});
    for (int i = 0; i < 4; ++i) f.run.onTick();
    EXPECT_EQ(d.sim.guardiansStarted, c.isGuardian ? 1 : 2)
        << c.image << (c.startedDuringLaunch ? " during" : " after");
  }
}

TEST_F(MainSide, TheNoteCoversEveryMomentTheCursorsAreBlank) {
  ticks(3);
  d.sim.userMoveMouse({1, 1});
  d.sim.runPending();
  EXPECT_THAT(d.logOf({"note", "hideSystemCursors", "restoreSystemCursors"}),
              ElementsAre("note blank", "hideSystemCursors",       // set before
                          "restoreSystemCursors", "note clear"));  // cleared after
}

// Reloading the scheme reads every cursor file and throws away cursors other
// programs set: only a note left by a killed copy asks for it.
TEST(StartSide, TheCursorsAreRepairedAtStartOnlyWhenACopyLeftThemNotedBlank) {
  for (const bool left : {false, true}) {
    Desktop d;
    d.sim.blankNote = left;
    d.start();
    const std::vector<std::string> repair = {"restoreSystemCursors", "note clear"};
    EXPECT_EQ(d.logOf({"restoreSystemCursors", "note"}), left ? repair : std::vector<std::string>())
        << (left ? "noted blank" : "no note");
    EXPECT_FALSE(d.sim.blankNote);
  }
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
  EXPECT_EQ(sim.attachGuardian(sim.mainLink), GuardianAttach::Attached);
  GuardianLink other = sim.mainLink;
  ++other.window;
  EXPECT_EQ(GuardMainProcess(sim, sim, sim, other), 2);
  EXPECT_EQ(restores(), 0);
}

// Killed after starting its guardian and before the guardian first looked.
TEST_F(GuardianSide, AMainProcessGoneBeforeTheGuardianAttachedHasItsBlankCursorsRestored) {
  for (const bool blank : {true, false}) {
    sim.log.clear();
    sim.mainEnded = true;
    sim.blankNote = blank;
    EXPECT_EQ(GuardMainProcess(sim, sim, sim, sim.mainLink), 0);
    EXPECT_EQ(restores(), blank ? 1 : 0);
    EXPECT_FALSE(sim.blankNote);
  }
}

TEST_F(GuardianSide, TheMainProcessKilledWhileTheCursorsAreBlankGetsThemBackAtOnce) {
  sim.at(2000, [&] { sim.blankNote = true; });
  sim.at(12345, [&] { sim.mainEnded = true; });
  EXPECT_EQ(RunGuardian(sim, sim, sim), 0);
  EXPECT_EQ(restores(), 1);
  EXPECT_FALSE(sim.blankNote);
  EXPECT_EQ(sim.nowMs(), 12345) << "no wait after the main process ended";
}

TEST_F(GuardianSide, ANormalEndHasNothingLeftToRestore) {
  sim.at(2000, [&] { sim.blankNote = true; });
  sim.at(5000, [&] { sim.blankNote = false; });
  sim.at(9000, [&] { sim.mainEnded = true; });
  EXPECT_EQ(RunGuardian(sim, sim, sim), 0);
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
  EXPECT_EQ(RunGuardian(sim, sim, sim), 0);
  EXPECT_EQ(restores(), 1);
}

// Restart Manager closes what holds a file an installer replaces through
// its windows; the session's end asks the same way. The main process may
// go next, so cursors noted blank are put back before the guardian goes.
TEST(GuardianAskedToClose, PutsBackCursorsNotedBlankAndEndsThoughTheMainProcessRuns) {
  for (const bool blank : {true, false}) {
    sim::SimDesktop sim;
    sim.at(1000, [&] { sim.blankNote = true; });
    if (!blank) sim.at(2000, [&] { sim.blankNote = false; });
    sim.at(4000, [&] { sim.guardianAskedToClose = true; });
    EXPECT_EQ(RunGuardian(sim, sim, sim), 0);
    EXPECT_EQ(sim.nowMs(), 4000) << "at once";
    EXPECT_EQ(std::count(sim.log.begin(), sim.log.end(), "restoreSystemCursors"), blank ? 1 : 0)
        << (blank ? "noted blank" : "the user's own");
    EXPECT_FALSE(sim.blankNote);
  }
}

TEST_F(GuardianSide, AMainBusyForUnderFiveSecondsIsLeftAlone) {
  sim.at(1000, [&] { sim.blankNote = true; });
  sim.at(3000, [&] { sim.mainHung = true; });
  sim.at(6900, [&] { sim.mainHung = false; });
  sim.at(20000, [&] { sim.mainEnded = true; });
  EXPECT_EQ(RunGuardian(sim, sim, sim), 0);
  EXPECT_EQ(restores(), 1) << "only the one for the end with the cursors blank";
}

}  // namespace
}  // namespace pellucor::test
