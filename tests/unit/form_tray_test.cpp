#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "harness.h"

namespace pellucor::test {
namespace {

constexpr std::intptr_t kLeftUp = 0x202, kRightUp = 0x205, kLeftDown = 0x201;
const char* const kBalloon =
    "has been minimized to the system tray.\r\nClick on the blue 'T' icon (T for Trandavel) to bring the software "
    "back.";

struct FormTray : ::testing::Test {
  Desktop d;
  MainWindow& f = d.start();

  std::vector<sim::SimDesktop::ShellRequest> balloons() const {
    std::vector<sim::SimDesktop::ShellRequest> out;
    for (const auto& r : d.sim.shellRequests)
      if (r.data.flags == kNifInfo && !r.data.info.empty()) out.push_back(r);
    return out;
  }
  void clickIcon(std::intptr_t code) { d.sim.trayMessage(f.tray.trayIcon.ControlWindow(), 0, code); }
};

TEST_F(FormTray, IconIsInTheTrayFromStartWithTheProductTitleAsTip) {
  ASSERT_EQ(d.sim.shellRequests.size(), 1u);
  const NotifyIconData& add = d.sim.shellRequests[0].data;
  EXPECT_EQ(d.sim.shellRequests[0].message, kNimAdd);
  EXPECT_EQ(add.tip, "Pellucor");
  EXPECT_EQ(add.icon, d.sim.trayIcon());
  EXPECT_EQ(add.flags, kNifMessage | kNifIcon | kNifTip);
  EXPECT_TRUE(d.sim.windowVisible());
}

TEST_F(FormTray, MinimisingHidesIntoTheTrayWithTheBalloonOnce) {
  d.sim.userMinimise();
  d.sim.runPending();
  EXPECT_FALSE(d.sim.windowVisible());
  EXPECT_EQ(d.sim.state(), WindowState::Normal) << "it comes back un-minimised";
  EXPECT_TRUE(f.tray.hiddenInTray());
  const auto shown = balloons();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].data.info, kBalloon);
  EXPECT_EQ(shown[0].data.infoTitle, "Pellucor");
  EXPECT_EQ(shown[0].data.timeout, 5000u);
  EXPECT_EQ(d.sim.nowMs(), 5000) << "the handler waited for the balloon";

  clickIcon(kLeftUp);
  d.sim.runPending();
  d.sim.userMinimise();
  d.sim.runPending();
  EXPECT_FALSE(d.sim.windowVisible());
  EXPECT_EQ(balloons().size(), 1u) << "a later minimise shows no balloon";
}

TEST_F(FormTray, EitherButtonUpOnTheIconBringsTheWindowBackFocused) {
  for (std::intptr_t code : {kLeftUp, kRightUp}) {
    d.sim.userMinimise();
    d.sim.runPending();
    ASSERT_FALSE(d.sim.windowVisible());
    clickIcon(code);
    d.sim.runPending();
    EXPECT_TRUE(d.sim.windowVisible()) << code;
    EXPECT_EQ(d.sim.state(), WindowState::Normal) << code;
    EXPECT_EQ(d.sim.focused(), MainWindow::kIdleSecondsField) << code;
    EXPECT_FALSE(f.tray.hiddenInTray()) << code;
  }
}

// Explorer runs with the user's normal rights; Windows drops its messages to
// an elevated window unless that window lets them through.
TEST(ElevatedCopy, StillHearsItsTrayIconAndExplorersRestart) {
  Desktop d;
  d.sim.elevated = true;
  MainWindow& f = d.start();
  const std::intptr_t tray = f.tray.trayIcon.ControlWindow();
  d.sim.userMinimise();
  d.sim.runPending();
  ASSERT_FALSE(d.sim.windowVisible());
  d.sim.trayMessage(tray, 0, kLeftUp);
  d.sim.runPending();
  EXPECT_TRUE(d.sim.windowVisible()) << "the click on the icon arrived";

  d.sim.explorerEnded();
  d.sim.broadcastTaskbarCreated();
  d.sim.runPending();
  EXPECT_TRUE(d.sim.iconShownFor(tray)) << "\"TaskbarCreated\" arrived";
}

TEST_F(FormTray, ButtonDownAloneDoesNotRestore) {
  d.sim.userMinimise();
  d.sim.runPending();
  clickIcon(kLeftDown);
  d.sim.runPending();
  EXPECT_FALSE(d.sim.windowVisible());
}

TEST_F(FormTray, ClickingTheIconBeforeEverMinimisingShowsTheBalloon) {
  clickIcon(kLeftUp);
  d.sim.runPending();
  EXPECT_EQ(balloons().size(), 1u);
  d.sim.userMinimise();
  d.sim.runPending();
  EXPECT_EQ(balloons().size(), 1u);
}

TEST_F(FormTray, RestoreClickedDuringTheBalloonWaitBringsTheWindowBackAtOnce) {
  d.sim.at(1500, [&] { clickIcon(kLeftUp); });
  d.sim.userMinimise();
  d.sim.runPending();
  // The click ran inside the wait; the minimise handling then finished
  // without hiding the window again.
  EXPECT_TRUE(d.sim.windowVisible());
  EXPECT_FALSE(f.tray.hiddenInTray());
  EXPECT_EQ(d.sim.nowMs(), 5000);
  EXPECT_EQ(balloons().size(), 1u);
}

TEST_F(FormTray, ClosingTakesTheIconOut) {
  d.sim.userClose();
  EXPECT_THROW(d.sim.runPending(), ProcessEnded);
  EXPECT_EQ(d.sim.shellRequests.back().message, kNimDelete);
}

// Started at logon, straight into the tray, while Explorer is still busy.
struct LogonWithABusyShell : ::testing::Test {
  Desktop d;
  void startInTheTray(int refusedAdds) {
    const std::string store = sim::SimDesktop::regKeyName(RegRoot::CurrentUser, "Software\\Trandavel\\Pellucor");
    d.sim.setRegValue(store, "Windows Startup", {kRegSz, "On"});
    d.sim.setRegValue(store, "Minimized", {kRegSz, "On"});
    d.sim.shellRefusesAdds = refusedAdds;
    d.start();
  }
  int balloonsShown() const {
    return static_cast<int>(std::count_if(d.sim.shellRequests.begin(), d.sim.shellRequests.end(),
                                          [](const auto& r) { return r.accepted && !r.data.info.empty(); }));
  }
};

TEST_F(LogonWithABusyShell, WithNoIconAfterTenSecondsTheWindowComesBack) {
  startInTheTray(1000);
  EXPECT_FALSE(d.sim.windowVisible());
  EXPECT_TRUE(d.form->tray.hiddenInTray());
  EXPECT_EQ(d.sim.nowMs(), 0) << "the start did not wait for a balloon that cannot show";
  d.sim.advance(9900);
  EXPECT_FALSE(d.sim.windowVisible());
  d.sim.advance(200);
  EXPECT_TRUE(d.sim.windowVisible()) << "never hidden with no way back";
  EXPECT_FALSE(d.form->tray.hiddenInTray());
  EXPECT_TRUE(d.sim.boxes.empty());

  d.sim.shellRefusesAdds = 0;
  d.sim.advance(30000);
  EXPECT_TRUE(d.form->tray.trayIcon.IconShown());
  EXPECT_EQ(balloonsShown(), 0) << "'minimized to the system tray' is no news to a window in plain view";

  d.sim.userMinimise();
  d.sim.runPending();
  EXPECT_EQ(balloonsShown(), 1) << "the first minimise the user sees explains where the window went";
}

TEST_F(LogonWithABusyShell, AnIconThatArrivesInTimeKeepsTheWindowInTheTray) {
  startInTheTray(3);
  d.sim.advance(20000);
  EXPECT_TRUE(d.form->tray.trayIcon.IconShown());
  EXPECT_FALSE(d.sim.windowVisible());
  EXPECT_TRUE(d.form->tray.hiddenInTray());
  EXPECT_EQ(balloonsShown(), 1);
}

}  // namespace
}  // namespace pellucor::test
