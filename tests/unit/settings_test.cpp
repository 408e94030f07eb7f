#include "settings/settings.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "harness.h"
#include "settings/startup.h"

namespace pellucor::test {
namespace {

using ::testing::ElementsAre;

const std::string kMachineRun =
    sim::SimDesktop::regKeyName(RegRoot::LocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run");
const std::string kUserRun =
    sim::SimDesktop::regKeyName(RegRoot::CurrentUser, "Software\\Microsoft\\Windows\\CurrentVersion\\Run");

struct Settings : ::testing::Test {
  Desktop d;

  std::string runValue(const std::string& key, const char* name = "pellucor.exe") const {
    const auto* v = d.sim.regValue(key, name);
    return v ? v->data : "<missing>";
  }
  std::vector<std::string> writes() const { return d.logOf({"writeSetting"}); }
};

TEST_F(Settings, FirstStartWithAnEmptyStoreWritesNothing) {
  MainWindow& f = d.start();
  EXPECT_TRUE(writes().empty());
  EXPECT_EQ(f.idleSecondsField.text(), "3");
  EXPECT_EQ(f.startWithWindowsBox.value(), 0);
  EXPECT_FALSE(d.sim.control(MainWindow::kStartMinimisedBox).visible);
  EXPECT_TRUE(d.sim.regValue(kMachineRun, "pellucor.exe") == nullptr);
}

TEST_F(Settings, BothSwitchesOnStartHiddenInTheTrayAndRewriteTheRunValue) {
  d.store("Windows Startup", "On");
  d.store("Minimized", "On");
  d.sim.exePath = "D:\\Moved\\pellucor.exe";
  MainWindow& f = d.start();
  EXPECT_FALSE(d.sim.windowVisible());
  EXPECT_TRUE(f.tray.hiddenInTray());
  EXPECT_EQ(d.sim.state(), WindowState::Normal);
  EXPECT_EQ(f.startWithWindowsBox.value(), 1);
  EXPECT_EQ(f.startMinimisedBox.value(), 1);
  EXPECT_TRUE(d.sim.control(MainWindow::kStartMinimisedBox).visible);
  EXPECT_EQ(runValue(kUserRun), "D:\\Moved\\pellucor.exe") << "the new location is written at start";
  EXPECT_THAT(writes(), ElementsAre("writeSetting Windows Startup On", "writeSetting Minimized On"));
  const auto& balloon = d.sim.shellRequests.at(1).data;
  EXPECT_EQ(balloon.infoTitle, "Pellucor") << "the balloon follows the tray icon's add";
  EXPECT_EQ(d.sim.shellRequests.at(0).message, kNimAdd);
}

TEST_F(Settings, MinimisedWithoutStartupHasTheSecondBoxCheckedButHidden) {
  d.store("Windows Startup", "Off");
  d.store("Minimized", "On");
  MainWindow& f = d.start();
  EXPECT_EQ(f.startMinimisedBox.value(), 1);
  EXPECT_FALSE(d.sim.control(MainWindow::kStartMinimisedBox).visible);
  EXPECT_TRUE(d.sim.windowVisible());
  EXPECT_THAT(writes(), ElementsAre("writeSetting Minimized On"));
}

TEST_F(Settings, OnlyTheExactTextOnCountsAsOn) {
  for (const char* value : {"ON", "On ", "on", "", "yes"}) {
    Desktop local;
    local.sim.setRegValue(kStore, "Windows Startup", {kRegSz, value});
    MainWindow& f = local.start();
    EXPECT_EQ(f.startWithWindowsBox.value(), 0) << '"' << value << '"';
  }
}

TEST_F(Settings, AStoredValueEndsAtItsFirstNul) {
  d.sim.setRegValue(kStore, "Windows Startup", {kRegSz, std::string("On\0junk", 7)});
  d.sim.setRegValue(kStore, "Minimized", {kRegSz, std::string("\0On", 3)});
  MainWindow& f = d.start();
  EXPECT_EQ(f.startWithWindowsBox.value(), 1);
  EXPECT_EQ(f.startMinimisedBox.value(), 0);
}

TEST_F(Settings, AValueOfAnotherTypeReadsAsItsDefault) {
  d.sim.setRegValue(kStore, "Windows Startup", {4 /* REG_DWORD */, "On"});
  MainWindow& f = d.start();
  EXPECT_EQ(f.startWithWindowsBox.value(), 0);
}

TEST_F(Settings, TypingAfterFocusReplacesTheTextAndEachChangeIsStored) {
  d.start();
  d.sim.userFocus(MainWindow::kStartWithWindowsBox);
  d.sim.userFocus(MainWindow::kIdleSecondsField);  // gaining the focus selects all
  d.sim.userType("10");
  d.sim.runPending();
  EXPECT_EQ(d.sim.control(MainWindow::kIdleSecondsField).text, "10");
  EXPECT_THAT(writes(), ElementsAre("writeSetting Path 1", "writeSetting Path 10"));
  d.sim.userType("\b\b");
  d.sim.runPending();
  EXPECT_EQ(d.stored("Path"), "") << "the empty text is stored too";
}

// The seconds typed last time come back, when the tick would take them; the
// stored text itself is never rewritten by a start.
TEST_F(Settings, RestartingShowsTheStoredSecondsWhenTheTickTakesThem) {
  const std::pair<const char*, const char*> cases[] = {
      {"25", "25"}, {"7", "7"}, {" 12 ", " 12 "}, {"2.5", "2.5"}, {"", "3"}, {"abc", "3"}, {"40000", "3"}, {"1e9", "3"},
  };
  for (const auto& [path, shown] : cases) {
    Desktop local;
    local.sim.setRegValue(kStore, "Path", {kRegSz, path});
    MainWindow& f = local.start();
    EXPECT_EQ(f.idleSecondsField.text(), shown) << '"' << path << '"';
    EXPECT_EQ(local.sim.regValue(kStore, "Path")->data, path) << '"' << path << '"';
  }
  MainWindow& f = d.start();
  EXPECT_EQ(f.idleSecondsField.text(), "3") << "nothing stored";
}

struct LeavingTheField : Settings {
  MainWindow* f = nullptr;
  void SetUp() override { f = &d.start(); }
  void leaveWith(const char* text) {
    f->idleSecondsField.setText(text);
    d.sim.userFocus(MainWindow::kStartWithWindowsBox);
    d.sim.runPending();
  }
};

TEST_F(LeavingTheField, WithANonNumberShowsTheMessageAndTakesTheFocusBack) {
  leaveWith("abc");
  ASSERT_EQ(d.sim.boxes.size(), 1u);
  EXPECT_EQ(d.sim.boxes[0].text, "Must be a numerical value.");
  EXPECT_EQ(d.sim.boxes[0].caption, "Pellucor");
  EXPECT_EQ(d.sim.boxes[0].style, 0u) << "OK only, no icon";
  EXPECT_EQ(d.sim.focused(), MainWindow::kIdleSecondsField);
  EXPECT_EQ(d.sim.control(MainWindow::kIdleSecondsField).selLength, 3) << "the whole text selected again";
  EXPECT_EQ(f->idleSecondsField.text(), "abc");
  EXPECT_EQ(d.stored("Path"), "abc");
}

TEST_F(LeavingTheField, EmptyIsNotANumber) {
  leaveWith("");
  EXPECT_EQ(d.sim.boxes.size(), 1u);
  EXPECT_EQ(d.sim.focused(), MainWindow::kIdleSecondsField);
}

TEST_F(LeavingTheField, NumbersPassWhateverTheirRange) {
  for (const char* text : {" 7 ", "2.5", "40000", "1e9", "&H10"}) leaveWith(text);
  EXPECT_TRUE(d.sim.boxes.empty());
}

TEST_F(LeavingTheField, HidingTheWindowIsNotLeavingTheField) {
  f->idleSecondsField.setText("abc");
  d.sim.userMinimise();
  d.sim.runPending();
  EXPECT_TRUE(d.sim.boxes.empty());
}

TEST_F(Settings, TheSecondSwitchIsStoredAndOfferedOnlyWithTheFirst) {
  MainWindow& f = d.start();
  d.sim.userClick(MainWindow::kStartWithWindowsBox);
  d.sim.runPending();
  EXPECT_TRUE(d.sim.control(MainWindow::kStartMinimisedBox).visible);
  d.sim.userClick(MainWindow::kStartMinimisedBox);
  d.sim.runPending();
  EXPECT_EQ(d.stored("Minimized"), "On");
  d.sim.userClick(MainWindow::kStartWithWindowsBox);  // off again, with the second box checked
  d.sim.runPending();
  EXPECT_EQ(f.startMinimisedBox.value(), 0);
  EXPECT_FALSE(d.sim.control(MainWindow::kStartMinimisedBox).visible);
  EXPECT_EQ(d.stored("Minimized"), "Off");
  EXPECT_EQ(d.stored("Windows Startup"), "Off");
  EXPECT_EQ(runValue(kMachineRun), "<missing>");
}

struct RunAtLogon : Settings {
  void switchOn() {
    d.sim.userClick(MainWindow::kStartWithWindowsBox);
    d.sim.runPending();
  }
};

TEST_F(RunAtLogon, TheValueIsNamedAfterTheProgramAndHoldsItsPath) {
  for (const auto& [exe, data] : std::vector<std::pair<std::string, std::string>>{
           {"C:\\Tools\\pellucor.exe", "C:\\Tools\\pellucor.exe"},
           {"C:\\Program Files\\Pellucor\\pellucor.exe", "\"C:\\Program Files\\Pellucor\\pellucor.exe\""},
           {"D:\\pellucor.exe", "D:\\pellucor.exe"},
           {"C:\\Программы\\Ç\\pellucor.exe", "C:\\Программы\\Ç\\pellucor.exe"},
       }) {
    Desktop local;
    local.sim.exePath = exe;
    local.start();
    local.sim.userClick(MainWindow::kStartWithWindowsBox);
    local.sim.runPending();
    const auto* value = local.sim.regValue(kUserRun, "pellucor.exe");
    ASSERT_NE(value, nullptr) << exe;
    EXPECT_EQ(value->data, data) << exe;
    EXPECT_EQ(value->type, kRegSz);
  }
}

TEST_F(RunAtLogon, TheProgramsOwnExecutableWinsOverOthersInItsFolder) {
  d.sim.exePath = "C:\\Downloads\\pellucor.exe";
  d.sim.addFile("C:\\Downloads\\aaa-installer.exe", "MZ");
  d.sim.addFile("C:\\Downloads\\pellucor.exe", "MZ");
  d.start();
  switchOn();
  EXPECT_EQ(runValue(kUserRun), "C:\\Downloads\\pellucor.exe");
  EXPECT_EQ(runValue(kUserRun, "aaa-installer.exe"), "<missing>");
}

// Even where the machine's key would take it (a copy run as administrator):
// other users could not read a program in this user's folder.
TEST_F(RunAtLogon, OnlyTheUsersOwnRunKeyIsWrittenWithTheNarrowAccessMask) {
  d.start();
  switchOn();
  EXPECT_FALSE(d.logOf({"regOpenKey " + kUserRun + " 63"}).empty());
  EXPECT_TRUE(d.logOf({"regOpenKey " + kMachineRun}).empty());
  EXPECT_EQ(runValue(kMachineRun), "<missing>");
  EXPECT_EQ(runValue(kUserRun), "\"C:\\Program Files\\Pellucor\\pellucor.exe\"");
}

TEST_F(RunAtLogon, WithoutRightsToTheMachineKeyTheUsersKeyIsUsed) {
  d.sim.deniedKeys = {kMachineRun};
  MainWindow& f = d.start();
  switchOn();
  EXPECT_EQ(runValue(kMachineRun), "<missing>");
  EXPECT_EQ(runValue(kUserRun), "\"C:\\Program Files\\Pellucor\\pellucor.exe\"");
  EXPECT_EQ(f.startWithWindowsBox.value(), 1);
  EXPECT_TRUE(d.sim.boxes.empty());
  d.sim.userClick(MainWindow::kStartWithWindowsBox);
  d.sim.runPending();
  EXPECT_EQ(runValue(kUserRun), "<missing>") << "switching off deletes it there too";
}

TEST_F(RunAtLogon, WhenNeitherKeyTakesTheValueTheUserIsToldAndTheSwitchStaysOff) {
  d.sim.deniedKeys = {kMachineRun, kUserRun};
  MainWindow& f = d.start();
  switchOn();
  ASSERT_EQ(d.sim.boxes.size(), 1u);
  EXPECT_EQ(d.sim.boxes[0].text, "Pellucor could not be set to start with Windows.");
  EXPECT_EQ(f.startWithWindowsBox.value(), 0);
  EXPECT_FALSE(d.sim.control(MainWindow::kStartMinimisedBox).visible);
  EXPECT_EQ(d.stored("Windows Startup"), "Off");
}

TEST_F(RunAtLogon, SwitchingOffWithNothingToDeleteIsSilent) {
  d.store("Windows Startup", "On");
  d.start();
  d.sim.registry[kMachineRun].clear();
  d.sim.userClick(MainWindow::kStartWithWindowsBox);
  d.sim.runPending();
  EXPECT_TRUE(d.sim.boxes.empty());
  EXPECT_EQ(d.stored("Windows Startup"), "Off");
}

TEST_F(RunAtLogon, AMachineWideValueThisUserCannotRemoveIsReported) {
  // Written by a copy that ran as administrator.
  d.sim.setRegValue(kMachineRun, "pellucor.exe", {kRegSz, "\"C:\\Program Files\\Pellucor\\pellucor.exe\""});
  d.sim.deniedKeys = {kMachineRun};
  d.store("Windows Startup", "On");
  MainWindow& f = d.start();
  d.sim.userClick(MainWindow::kStartWithWindowsBox);
  d.sim.runPending();
  ASSERT_EQ(d.sim.boxes.size(), 1u);
  EXPECT_EQ(d.sim.boxes[0].text,
            "Pellucor could not be removed from Windows startup for all users. Start Pellucor as administrator once "
            "to switch this off.");
  EXPECT_EQ(d.sim.boxes[0].caption, "Pellucor");
  EXPECT_EQ(f.startWithWindowsBox.value(), 0) << "the user's choice stands";
  EXPECT_EQ(d.stored("Windows Startup"), "Off");
  EXPECT_EQ(runValue(kUserRun), "<missing>");
  EXPECT_NE(runValue(kMachineRun), "<missing>");
}

TEST_F(RunAtLogon, AMachineWideValueThisUserMayRemoveGoesSilently) {
  // Written there by an older version.
  d.sim.setRegValue(kMachineRun, "pellucor.exe", {kRegSz, "\"C:\\Program Files\\Pellucor\\pellucor.exe\""});
  d.store("Windows Startup", "On");
  d.start();
  d.sim.userClick(MainWindow::kStartWithWindowsBox);
  d.sim.runPending();
  EXPECT_TRUE(d.sim.boxes.empty());
  EXPECT_EQ(runValue(kMachineRun), "<missing>");
}

TEST(RunCommand, FolderAndFileAreJoinedWithOneBackslash) {
  EXPECT_EQ(runAtLogon::RunCommand("C:\\Apps\\Tool", "Tool.exe"), "C:\\Apps\\Tool\\Tool.exe");
  EXPECT_EQ(runAtLogon::RunCommand("C:\\", "Tool.exe"), "C:\\Tool.exe");
  EXPECT_EQ(runAtLogon::RunCommand("C:\\My Apps", "Tool.exe"), "\"C:\\My Apps\\Tool.exe\"");
}

}  // namespace
}  // namespace pellucor::test
