#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>

#include "common/error_report.h"
#include "harness.h"

namespace pellucor::test {
namespace {

using ::testing::ElementsAreArray;

const std::string kApp = "C:\\Program Files\\Pellucor";

TEST(FormLoad, FirstStartRunsEveryStepInOrder) {
  Desktop d;
  d.start();
  // The whole load handler: numbered steps and what each asked of the platform.
  const std::vector<std::string> expected = {
      "createForm",
      "registerForRestart ",  // a plain start, should an installer close it
      // The options' choices, before the load handler.
      "readSetting Hide While Typing",
      "readSetting Ignored Movement Pixels",
      "readSetting Wheel Keeps Hidden",
      "readSetting Start Hiding",
      "readSetting Never Hide In",
      "readSetting Hide Only In Listed",
      "readSetting Never Hide In Full Screen",
      "readSetting Stop Key",
      "readSetting Hide Key",
      "line 100",
      "listFiles " + kApp + "\\x\\o.cjs",
      "line 102",
      "fileDateTime " + kApp + "\\HAND-M.CUR",
      "line 106",
      "seedRandom",
      "nextRandom",
      "line 126",
      "setText Window Pellucor",
      "line 126",
      "setWindowIcon",
      "line 126",
      "line 128",
      "readSetting Path",
      "line 130",
      "readSetting Windows Startup",
      "line 132",
      "readSetting Minimized",
      "line 134",
      "line 142",
      "hide Check8",
      "line 144",
      "line 144",
      "setWindowIcon",
      "line 146",
      "subclassWindow",
      "shellNotifyIcon 0",
      "line 148",  // the keyboard hook comes with a run, not with the start
      "line 150",
      "showForm Normal",
  };
  EXPECT_THAT(d.sim.log, ElementsAreArray(expected));
}

TEST(FormLoad, FirstStartShowsTheDesignedWindow) {
  Desktop d;
  MainWindow& f = d.start();
  EXPECT_EQ(d.sim.windowCaption(), "Pellucor");
  EXPECT_TRUE(d.sim.windowVisible());
  EXPECT_EQ(d.sim.state(), WindowState::Normal);
  EXPECT_TRUE(d.sim.iconSet());
  EXPECT_EQ(d.sim.windowBack(), kWhite);
  EXPECT_EQ(d.sim.windowSpec().clientWidthTwips, 8040);
  EXPECT_EQ(d.sim.windowSpec().clientHeightTwips, 2325);
  EXPECT_EQ(f.idleSecondsField.text(), "3");
  EXPECT_EQ(d.sim.control(MainWindow::kIdleSecondsField).text, "3");
  EXPECT_EQ(d.sim.focused(), MainWindow::kIdleSecondsField) << "the field has the first focus";
  EXPECT_EQ(f.startWithWindowsBox.value(), 0);
  EXPECT_EQ(f.startMinimisedBox.value(), 0);
  EXPECT_TRUE(d.sim.control(MainWindow::kStartWithWindowsBox).visible);
  EXPECT_FALSE(d.sim.control(MainWindow::kStartMinimisedBox).visible);
  EXPECT_EQ(d.sim.control(MainWindow::kRunButton).text, "Start Running (Press Ctrl + Shift + S To Stop)");
  EXPECT_EQ(d.sim.control(MainWindow::kIdleSecondsFrame).text,
            "How many seconds does mouse need to stop moving before hiding?");
  EXPECT_EQ(d.sim.control(MainWindow::kStartupFrame).text, "Startup Options");
  EXPECT_EQ(d.sim.control(MainWindow::kStartWithWindowsBox).text, "Load this software on Windows startup");
  EXPECT_EQ(d.sim.control(MainWindow::kStartMinimisedBox).text, "Minimized to system tray");
  EXPECT_EQ(f.AppTitle(), "Pellucor");
  EXPECT_EQ(f.tray.trayIcon.TrayTip(), "Pellucor");
  EXPECT_TRUE(f.tray.trayIcon.InTray());
  EXPECT_FALSE(f.run.tickTimer().enabled()) << "every start begins not running";
  EXPECT_TRUE(d.sim.boxes.empty());
  EXPECT_TRUE(d.sim.startedCommands.empty());
}

TEST(FormLoad, ControlsCarryTheDesignedFontsAndTabOrder) {
  Desktop d;
  d.start();
  const ControlSpec& button = d.sim.control(MainWindow::kRunButton).design;
  EXPECT_EQ(button.font.face, "Arial");
  EXPECT_DOUBLE_EQ(button.font.points, 11.25);
  EXPECT_EQ(button.font.weight, 700);
  EXPECT_EQ(button.font.charset, 204);
  EXPECT_EQ(button.fore, kSysButtonText);
  for (ControlId id : {MainWindow::kIdleSecondsFrame, MainWindow::kIdleSecondsField, MainWindow::kStartupFrame,
                       MainWindow::kStartWithWindowsBox, MainWindow::kStartMinimisedBox}) {
    const FontSpec& font = d.sim.control(id).design.font;
    EXPECT_EQ(font.face, "Arial") << id;
    EXPECT_DOUBLE_EQ(font.points, 9.0) << id;
    EXPECT_EQ(font.weight, 700) << id;
    EXPECT_EQ(font.charset, 204) << id;
  }
  std::vector<std::pair<int, ControlId>> tabs;
  for (ControlId id : {MainWindow::kIdleSecondsFrame, MainWindow::kIdleSecondsField, MainWindow::kStartupFrame,
                       MainWindow::kStartWithWindowsBox, MainWindow::kStartMinimisedBox, MainWindow::kRunButton})
    tabs.emplace_back(d.sim.control(id).design.tabIndex, id);
  std::sort(tabs.begin(), tabs.end());
  const std::vector<ControlId> order = {MainWindow::kIdleSecondsField,    MainWindow::kRunButton,
                                        MainWindow::kIdleSecondsFrame,    MainWindow::kStartupFrame,
                                        MainWindow::kStartWithWindowsBox, MainWindow::kStartMinimisedBox};
  for (std::size_t i = 0; i < order.size(); ++i) EXPECT_EQ(tabs[i].second, order[i]) << "tab index " << i;
}

TEST(FormLoad, HandCursorThatIsNotACursorIsReportedAtLine104AndStartUpGoesOn) {
  Desktop d;
  d.sim.addFile(d.file("\\HAND-M.CUR"), "this is text, not a cursor");
  MainWindow& f = d.start();
  ASSERT_EQ(d.sim.boxes.size(), 1u);
  EXPECT_EQ(d.sim.boxes[0].caption, "Application Error");
  EXPECT_EQ(d.sim.boxes[0].style, 48u);
  EXPECT_EQ(d.sim.boxes[0].text,
            "Invalid picture\r\nin Pellucor2021/08/31.Form1.Form_Load at line 104\r\r"
            "Please email screenshot of this message to support@trandavel.example");
  EXPECT_EQ(f.MouseIcon(), 0u);
  // After OK the handler went on with line 106 and finished.
  const auto lines = d.logOf({"line 104", "messageBox", "line 106", "line 150", "showForm"});
  EXPECT_THAT(
      lines, ElementsAreArray({"line 104", "messageBox Application Error", "line 106", "line 150", "showForm Normal"}));
  EXPECT_EQ(d.sim.windowCaption(), "Pellucor");
}

TEST(FormLoad, HandCursorShowsOverTheRunButtonOnly) {
  Desktop d;
  d.sim.addFile(d.file("\\HAND-M.CUR"), CursorFileBytes());
  MainWindow& f = d.start();
  ASSERT_NE(f.MouseIcon(), 0u);
  d.sim.userMoveMouseOver(MainWindow::kRunButton);
  d.sim.runPending();
  EXPECT_EQ(d.sim.pointer(), MousePointer::Custom);
  EXPECT_EQ(d.sim.pointerCursor(), f.MouseIcon());
  // The field has no hover handler: the pointer stays as it was.
  d.sim.userMoveMouseOver(MainWindow::kIdleSecondsField);
  d.sim.runPending();
  EXPECT_EQ(d.sim.pointer(), MousePointer::Custom);
  d.sim.userMoveMouseOver(MainWindow::kStartupFrame);
  d.sim.runPending();
  EXPECT_EQ(d.sim.pointer(), MousePointer::Default);
  d.sim.userMoveMouseOver(MainWindow::kRunButton);
  d.sim.userMoveMouseOver(kWindow);
  d.sim.runPending();
  EXPECT_EQ(d.sim.pointer(), MousePointer::Default);
}

TEST(FormLoad, WithoutHandCursorTheButtonShowsTheOrdinaryArrow) {
  Desktop d;
  MainWindow& f = d.start();
  EXPECT_TRUE(d.logOf({"loadCursorFile"}).empty());
  d.sim.userMoveMouseOver(MainWindow::kRunButton);
  d.sim.runPending();
  EXPECT_EQ(f.mousePointer(), MousePointer::Custom);
  EXPECT_EQ(d.sim.pointerCursor(), 0u) << "custom pointer with no icon: the arrow";
}

TEST(FormLoad, HandCursorFolderIsNotLoadedAsAPicture) {
  Desktop d;
  d.sim.addFolder(d.file("\\HAND-M.CUR"));
  d.start();
  // A folder has a date, so the test passes and loading it fails visibly.
  ASSERT_EQ(d.sim.boxes.size(), 1u);
  EXPECT_NE(d.sim.boxes[0].text.find("at line 104"), std::string::npos);
}

TEST(FormLoad, HomePageOpensOnlyWhenTheDrawIsSeven) {
  for (const auto& [random, opens] : std::vector<std::pair<double, bool>>{
           {0.0, false}, {0.059999, false}, {0.06, true}, {0.0699999, true}, {0.07, false}, {0.999999, false}}) {
    Desktop d;
    d.sim.randomValues = {random};
    d.start();
    if (opens) {
      EXPECT_EQ(d.sim.startedCommands,
                std::vector<std::string>{"\"C:\\Windows\\explorer.exe\" \"https://trandavel.example/pellucor/\""})
          << random;
    } else {
      EXPECT_TRUE(d.sim.startedCommands.empty()) << random;
    }
  }
}

TEST(FormLoad, HomePageThatCannotStartIsReportedAtLine106) {
  Desktop d;
  d.sim.randomValues = {0.065};
  d.sim.failStartProcess = true;
  d.start();
  ASSERT_EQ(d.sim.boxes.size(), 1u);
  EXPECT_EQ(d.sim.boxes[0].text.substr(0, d.sim.boxes[0].text.find('\r')), "File not found");
  EXPECT_NE(d.sim.boxes[0].text.find("Form_Load at line 106"), std::string::npos);
  EXPECT_EQ(d.sim.windowCaption(), "Pellucor") << "start-up went on with line 126";
}

TEST(FormLoad, ProgramInADriveRootFindsItsFiles) {
  Desktop d;
  d.sim.folder = "D:\\";
  d.sim.addFile("D:\\HAND-M.CUR", CursorFileBytes());
  MainWindow& f = d.start();
  EXPECT_NE(f.MouseIcon(), 0u);
  EXPECT_TRUE(d.sim.boxes.empty());
}

TEST(FormClose, ShowsTheCursorTakesDownTheIconAndEndsTheProcess) {
  Desktop d;
  MainWindow& f = d.start();
  d.sim.cursorDisplayCount = -4;  // hidden by a run, several times over
  d.sim.log.clear();
  d.sim.userClose();
  EXPECT_THROW(d.sim.runPending(), ProcessEnded);
  EXPECT_TRUE(d.sim.ended);
  EXPECT_EQ(d.sim.exitCode, 0);
  EXPECT_EQ(d.sim.cursorDisplayCount, 0);
  EXPECT_FALSE(f.tray.trayIcon.InTray());
  EXPECT_THAT(d.sim.log, ElementsAreArray({"showCursor 1", "showCursor 1", "showCursor 1", "showCursor 1",
                                           "shellNotifyIcon 2", "restoreWindowProc", "processPendingMessages",
                                           "processPendingMessages", "endProcess 0"}));
}

TEST(FormClose, VisibleCursorStillGetsOneShowCall) {
  Desktop d;
  d.start();
  d.sim.userClose();
  EXPECT_THROW(d.sim.runPending(), ProcessEnded);
  EXPECT_EQ(d.sim.cursorDisplayCount, 1);
}

TEST(FormClose, MessagesPendingAtCloseAreDispatchedBeforeTheEnd) {
  Desktop d;
  MainWindow& f = d.start();
  d.sim.userClose();
  d.sim.userClick(MainWindow::kStartWithWindowsBox);  // queued behind the close request
  EXPECT_THROW(d.sim.runPending(), ProcessEnded);
  EXPECT_EQ(f.startWithWindowsBox.value(), 1);
}

}  // namespace
}  // namespace pellucor::test
