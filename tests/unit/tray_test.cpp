#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>

#include "harness.h"
#include "platform/failure.h"
#include "tray/tray_icon.h"

namespace pellucor::test {
namespace {

using ::testing::ElementsAre;

constexpr std::intptr_t kLeftDown = 0x201, kLeftUp = 0x202, kLeftDouble = 0x203, kRightDown = 0x204, kRightUp = 0x205,
                        kRightDouble = 0x206, kMouseMove = 0x200, kMiddleDown = 0x207, kMiddleUp = 0x208,
                        kBalloonShow = 0x402, kBalloonHide = 0x403, kBalloonTimeout = 0x404, kBalloonClick = 0x405;

struct Host : ControlHost {
  bool userMode = true;
  std::vector<std::string> changed;
  bool UserMode() const override { return userMode; }
  void PropertyChanged(std::string_view name) override { changed.emplace_back(name); }
};

struct TrayTest : ::testing::Test {
  sim::SimDesktop sim;
  Host host;
  std::unique_ptr<TrayIcon> tray = std::make_unique<TrayIcon>(sim, sim, sim, host);
  std::vector<std::string> events;

  PictureRef icon(IconHandle handle, int type = Picture::kIcon) {
    return std::make_shared<Picture>(Picture{type, handle});
  }
  const sim::SimDesktop::ShellRequest& last() const { return sim.shellRequests.back(); }
  void listen() {
    tray->MouseMove = [this](std::int32_t id) { events.push_back("move " + std::to_string(id)); };
    tray->MouseDown = [this](std::int16_t b, std::int32_t id) {
      events.push_back("down " + std::to_string(b) + " " + std::to_string(id));
    };
    tray->MouseUp = [this](std::int16_t b, std::int32_t id) {
      events.push_back("up " + std::to_string(b) + " " + std::to_string(id));
    };
    tray->MouseDblClick = [this](std::int16_t b, std::int32_t id) {
      events.push_back("dbl " + std::to_string(b) + " " + std::to_string(id));
    };
  }
};

TEST_F(TrayTest, AddCarriesMessageIconAndTip) {
  tray->setIconPicture(icon(0x77));
  tray->setTrayTip("Pellucor");
  ASSERT_TRUE(sim.shellRequests.empty()) << "nothing is sent before the icon is added";
  tray->setInTray(true);
  ASSERT_EQ(sim.shellRequests.size(), 1u);
  const NotifyIconData& add = last().data;
  EXPECT_EQ(last().message, kNimAdd);
  EXPECT_EQ(add.window, tray->ControlWindow());
  EXPECT_EQ(add.id, 0u);
  EXPECT_EQ(add.flags, kNifMessage | kNifIcon | kNifTip);
  EXPECT_EQ(add.callbackMessage, 1125u);
  EXPECT_EQ(add.icon, 0x77u);
  EXPECT_EQ(add.tip, "Pellucor");
  EXPECT_TRUE(add.info.empty() && add.infoTitle.empty());
  EXPECT_EQ(add.timeout, 0u);
  EXPECT_EQ(add.state | add.stateMask | add.infoFlags, 0u);
}

TEST_F(TrayTest, EmptyTipIsLeftOutOfTheAddButClearsAShownTip) {
  tray->setInTray(true);
  EXPECT_EQ(last().data.flags, kNifMessage) << "no icon, no tip";
  tray->setTrayTip("");
  EXPECT_EQ(last().message, kNimModify);
  EXPECT_EQ(last().data.flags, kNifTip);
  EXPECT_EQ(last().data.tip, "");
}

TEST_F(TrayTest, PictureAndTipChangesWhileAddedAreModifications) {
  tray->setInTray(true);
  tray->setIconPicture(icon(0x99));
  EXPECT_EQ(last().message, kNimModify);
  EXPECT_EQ(last().data.flags, kNifIcon);
  EXPECT_EQ(last().data.icon, 0x99u);
  tray->setTrayTip("new tip");
  EXPECT_EQ(last().data.flags, kNifTip);
  EXPECT_EQ(last().data.tip, "new tip");
  EXPECT_EQ(sim.shellRequests.size(), 3u);
}

TEST_F(TrayTest, NullOrNonIconPicturesAreIgnored) {
  tray->setIconPicture(icon(0x10));
  host.changed.clear();
  tray->setInTray(true);
  tray->setIconPicture(nullptr);
  tray->setIconPicture(icon(0x20, /*bitmap*/ 1));
  EXPECT_EQ(sim.shellRequests.size(), 1u);
  EXPECT_EQ(tray->IconPicture()->handle, 0x10u);
  EXPECT_THAT(host.changed, ElementsAre("InTray"));
}

TEST_F(TrayTest, TextsAreCutToTheRecordsFields) {
  tray->setTrayTip(std::string(200, 't'));
  tray->setInTray(true);
  EXPECT_EQ(last().data.tip, std::string(127, 't'));
  EXPECT_EQ(tray->TrayTip().size(), 200u) << "the property keeps the whole text";
  tray->ShowBalloon(std::string(300, 'x'), std::string(80, 'y'), 0, false);
  EXPECT_EQ(last().data.info, std::string(255, 'x'));
  EXPECT_EQ(last().data.infoTitle, std::string(63, 'y'));
  // Characters, not bytes: a cut never splits a letter.
  std::string accented;
  for (int i = 0; i < 70; ++i) accented += "\xC3\xA9";
  tray->ShowBalloon("x", accented, 0, false);
  EXPECT_EQ(last().data.infoTitle, accented.substr(0, 126));
}

TEST_F(TrayTest, InTrayChangesSendOnlyWhatChanges) {
  tray->setInTray(true);
  tray->setInTray(true);
  EXPECT_EQ(sim.shellRequests.size(), 1u);
  tray->setInTray(false);
  tray->setInTray(false);
  ASSERT_EQ(sim.shellRequests.size(), 2u);
  EXPECT_EQ(last().message, kNimDelete);
  EXPECT_EQ(last().data.flags, 0u);
  EXPECT_THAT(host.changed, ElementsAre("InTray", "InTray"));
}

TEST_F(TrayTest, OutsideRunModeInTrayIsOnlyStored) {
  host.userMode = false;
  tray->setInTray(true);
  EXPECT_TRUE(tray->InTray());
  EXPECT_FALSE(tray->IconAdded());
  tray->setInTray(false);
  EXPECT_TRUE(sim.shellRequests.empty());
  EXPECT_EQ(std::count(sim.log.begin(), sim.log.end(), "subclassWindow"), 0);
}

TEST_F(TrayTest, ProcedureGoesInBeforeTheAddAndOutAfterTheDelete) {
  tray->setInTray(true);
  tray->setInTray(false);
  std::vector<std::string> order;
  for (const std::string& e : sim.log)
    if (e != "processPendingMessages") order.push_back(e);
  EXPECT_THAT(order, ElementsAre("subclassWindow", "shellNotifyIcon 0", "shellNotifyIcon 2", "restoreWindowProc"));
}

TEST_F(TrayTest, EachButtonMessageRaisesExactlyOneEvent) {
  listen();
  tray->setInTray(true);
  for (std::intptr_t code : {kMouseMove, kLeftDown, kLeftUp, kLeftDouble, kRightDown, kRightUp, kRightDouble,
                             kMiddleDown, kMiddleUp, kBalloonShow})
    sim.trayMessage(tray->ControlWindow(), 7, code);
  sim.runPending();
  EXPECT_THAT(events, ElementsAre("move 7", "down 1 7", "up 1 7", "dbl 1 7", "down 2 7", "up 2 7", "dbl 2 7"));
}

TEST_F(TrayTest, MessagesStopOnceTheIconIsOut) {
  listen();
  tray->setInTray(true);
  tray->setInTray(false);
  sim.trayMessage(tray->ControlWindow(), 0, kLeftUp);
  sim.runPending();
  EXPECT_TRUE(events.empty());
}

TEST_F(TrayTest, BalloonRecordAndTheOnceGate) {
  tray->setInTray(true);
  tray->ShowBalloon("text", "title", 0, true);
  EXPECT_EQ(last().message, kNimModify);
  EXPECT_EQ(last().data.flags, kNifInfo);
  EXPECT_EQ(last().data.info, "text");
  EXPECT_EQ(last().data.infoTitle, "title");
  EXPECT_EQ(last().data.timeout, 0u);
  EXPECT_EQ(tray->OnceCount(), 1);
  const std::size_t sent = sim.shellRequests.size();
  tray->ShowBalloon("again", "title", 5, true);
  EXPECT_EQ(sim.shellRequests.size(), sent) << "a second once-only balloon sends nothing";
  tray->ShowBalloon("always", "title", 0, false);
  tray->ShowBalloon("always", "title", 0, false);
  EXPECT_EQ(sim.shellRequests.size(), sent + 2);
  EXPECT_EQ(tray->OnceCount(), 1);
}

TEST_F(TrayTest, BalloonWithNoSecondsReturnsAtOnceAndIsNeverTakenDown) {
  tray->setInTray(true);
  tray->ShowBalloon("text", "title", 0, false);
  sim.advance(60000);
  EXPECT_EQ(sim.nowMs(), 60000);
  EXPECT_EQ(sim.shellRequests.size(), 2u);
  EXPECT_TRUE(tray->BalloonShowing());
}

TEST_F(TrayTest, BalloonWaitEndsWhenTheTimeRunsOutWithATakeDown) {
  tray->setInTray(true);
  tray->ShowBalloon("text", "title", 5, false);
  EXPECT_EQ(sim.nowMs(), 5000);
  ASSERT_EQ(sim.shellRequests.size(), 3u);
  const NotifyIconData& takeDown = last().data;
  EXPECT_EQ(last().message, kNimModify);
  EXPECT_EQ(takeDown.flags, kNifInfo);
  EXPECT_EQ(takeDown.info, "");
  EXPECT_EQ(takeDown.infoTitle, "");
  EXPECT_EQ(takeDown.timeout, 5000u);
  EXPECT_TRUE(tray->BalloonShowing()) << "the take-down does not clear the flag";
}

TEST_F(TrayTest, BalloonWaitSleepsInsteadOfSpinning) {
  tray->setInTray(true);
  tray->ShowBalloon("text", "title", 5, false);
  int pumps = 0;
  for (const std::string& e : sim.log) pumps += e == "processPendingMessages";
  EXPECT_LE(pumps, 3) << "an idle wait pumps a handful of times, not thousands";
}

TEST_F(TrayTest, BalloonGoneEndsTheWaitEarlyWithoutATakeDown) {
  for (std::intptr_t code : {kBalloonClick, kBalloonTimeout, kBalloonHide}) {
    sim::SimDesktop local;
    Host h;
    TrayIcon t(local, local, local, h);
    t.setInTray(true);
    local.at(2000, [&] { local.trayMessage(t.ControlWindow(), 0, code); });
    t.ShowBalloon("text", "title", 5, false);
    EXPECT_EQ(local.nowMs(), 2000) << code;
    EXPECT_EQ(local.shellRequests.size(), 2u) << code;
    EXPECT_FALSE(t.BalloonShowing()) << code;
  }
}

TEST_F(TrayTest, ABalloonForAnIconNeverAddedNeitherShowsNorBlocks) {
  tray->ShowBalloon("text", "title", 3, true);
  sim.advance(60000);
  EXPECT_TRUE(sim.shellRequests.empty());
  EXPECT_EQ(tray->OnceCount(), 1) << "asked for is asked for";
  EXPECT_FALSE(tray->BalloonShowing());
}

TEST_F(TrayTest, BalloonSecondsThatOverflowSendNothing) {
  tray->setInTray(true);
  EXPECT_THROW(
      {
        try {
          tray->ShowBalloon("text", "title", 2147484, true);
        } catch (const Failure& f) {
          EXPECT_STREQ(f.what(), "Overflow");
          throw;
        }
      },
      Failure);
  EXPECT_EQ(sim.shellRequests.size(), 1u);
  EXPECT_EQ(tray->OnceCount(), 0);
  EXPECT_FALSE(tray->BalloonShowing());
  sim.at(1000, [&] { sim.trayMessage(tray->ControlWindow(), 0, kBalloonClick); });
  tray->ShowBalloon("text", "title", 2147483, true);
  EXPECT_EQ(sim.shellRequests[1].data.timeout, 2147483000u);
}

TEST_F(TrayTest, ExplorerRestartReAddsTheIconOnlyWhileItIsAdded) {
  tray->setTrayTip("Pellucor");
  tray->setIconPicture(icon(0x42));
  tray->setInTray(true);
  tray->setTrayTip("Pellucor 2");
  sim.broadcastTaskbarCreated();
  sim.runPending();
  ASSERT_EQ(sim.shellRequests.size(), 3u);
  EXPECT_EQ(last().message, kNimAdd);
  EXPECT_EQ(last().data.flags, kNifMessage | kNifIcon | kNifTip);
  EXPECT_EQ(last().data.tip, "Pellucor 2");
  EXPECT_EQ(last().data.icon, 0x42u);
  EXPECT_EQ(last().data.callbackMessage, 1125u);
  tray->setInTray(false);
  sim.broadcastTaskbarCreated();
  sim.runPending();
  EXPECT_EQ(last().message, kNimDelete);
}

TEST_F(TrayTest, StoredPropertiesLoadInTrayFirstThenPictureThenTip) {
  PropertyBag bag;
  bag.booleans["InTray"] = true;
  bag.pictures["TrayIcon"] = icon(0x31);
  bag.texts["TrayTip"] = "stored";
  tray->ReadProperties(bag);
  ASSERT_EQ(sim.shellRequests.size(), 3u);
  EXPECT_EQ(sim.shellRequests[0].message, kNimAdd);
  EXPECT_EQ(sim.shellRequests[0].data.tip, "") << "the stored tip arrives after the add";
  EXPECT_EQ(sim.shellRequests[1].data.flags, kNifIcon);
  EXPECT_EQ(sim.shellRequests[2].data.tip, "stored");
  EXPECT_THAT(host.changed, ElementsAre("InTray", "TrayIcon", "TrayTip"));
}

TEST_F(TrayTest, MissingStoredPropertiesTakeTheirDefaults) {
  tray->ReadProperties(PropertyBag{});
  EXPECT_FALSE(tray->InTray());
  EXPECT_EQ(tray->TrayTip(), "Telnet Server");
  ASSERT_TRUE(tray->IconPicture());
  EXPECT_EQ(tray->IconPicture()->handle, sim.trayIcon());
}

TEST_F(TrayTest, DestructionTakesTheIconOut) {
  tray->setInTray(true);
  tray.reset();
  EXPECT_EQ(sim.shellRequests.back().message, kNimDelete);
  EXPECT_EQ(sim.log.back(), "restoreWindowProc");
}

// At logon Explorer is often busy and refuses the add, or is not there yet.
struct BusyShell : TrayTest {
  int requests(std::uint32_t message) const {
    return static_cast<int>(std::count_if(sim.shellRequests.begin(), sim.shellRequests.end(),
                                          [message](const auto& r) { return r.message == message; }));
  }
  int balloonsSent() const {
    return static_cast<int>(std::count_if(sim.shellRequests.begin(), sim.shellRequests.end(),
                                          [](const auto& r) { return r.accepted && !r.data.info.empty(); }));
  }
};

TEST_F(BusyShell, ARefusedAddIsTriedEveryTwoSecondsForTwoMinutesThenEveryThirty) {
  sim.shellRefusesAdds = 1000;
  tray->setTrayTip("Pellucor");
  tray->setInTray(true);
  EXPECT_TRUE(tray->InTray());
  EXPECT_FALSE(tray->IconShown());
  EXPECT_TRUE(tray->Retrying());
  sim.advance(120000);
  EXPECT_EQ(requests(kNimAdd), 61) << "the first add and one every 2 s";
  sim.advance(300000);
  EXPECT_EQ(requests(kNimAdd), 71) << "then one every 30 s";

  sim.shellRefusesAdds = 0;  // Explorer is ready
  sim.advance(30000);
  EXPECT_TRUE(tray->IconShown());
  EXPECT_FALSE(tray->Retrying());
  EXPECT_TRUE(sim.iconShownFor(tray->ControlWindow()));
  EXPECT_EQ(sim.shellRequests.back().data.tip, "Pellucor");
  const std::size_t sent = sim.shellRequests.size();
  sim.advance(600000);
  EXPECT_EQ(sim.shellRequests.size(), sent) << "nothing more once it is there";
}

TEST_F(BusyShell, AnAddThatTookEffectThoughRefusedCountsAsShown) {
  sim.shellIcons.insert({tray->ControlWindow(), 0});  // took it, then answered too late
  tray->setInTray(true);
  EXPECT_TRUE(tray->IconShown());
  EXPECT_FALSE(tray->Retrying());
  EXPECT_EQ(sim.shellRequests.back().message, kNimModify);
}

TEST_F(BusyShell, TaskbarCreatedAddsTheMissingIconAtOnce) {
  sim.shellDown = true;  // no Explorer yet
  tray->setInTray(true);
  sim.advance(5000);
  EXPECT_FALSE(tray->IconShown());
  sim.broadcastTaskbarCreated();
  sim.runPending();
  EXPECT_TRUE(tray->IconShown());
  EXPECT_FALSE(tray->Retrying());
}

TEST_F(BusyShell, AChangeRefusedWhileExplorerIsGoneBringsTheIconBackWithTheChange) {
  tray->setTrayTip("Pellucor");
  tray->setInTray(true);
  sim.explorerEnded();
  tray->setTrayTip("Pellucor running");
  EXPECT_FALSE(tray->IconShown());
  EXPECT_TRUE(tray->Retrying());
  sim.broadcastTaskbarCreated();
  sim.runPending();
  EXPECT_TRUE(tray->IconShown());
  EXPECT_EQ(sim.shellRequests.back().message, kNimAdd);
  EXPECT_EQ(sim.shellRequests.back().data.tip, "Pellucor running");
}

TEST_F(BusyShell, ABalloonAskedForBeforeTheIconNeverBlocksAndShowsWhenTheIconDoes) {
  sim.shellRefusesAdds = 3;  // the first add and the retries at 2 and 4 s
  tray->setInTray(true);
  tray->ShowBalloon("text", "title", 5, true);
  EXPECT_EQ(sim.nowMs(), 0) << "no wait for a balloon that cannot show";
  EXPECT_EQ(balloonsSent(), 0);
  EXPECT_EQ(tray->OnceCount(), 1);
  tray->ShowBalloon("text", "title", 5, true);  // the once gate holds meanwhile

  sim.advance(6000);
  EXPECT_TRUE(tray->IconShown());
  EXPECT_EQ(balloonsSent(), 1) << "shown with the icon";
  EXPECT_TRUE(tray->BalloonShowing());
  const std::size_t afterBalloon = sim.shellRequests.size();
  sim.advance(5000);
  ASSERT_EQ(sim.shellRequests.size(), afterBalloon + 1);
  EXPECT_EQ(sim.shellRequests.back().data.flags, kNifInfo);
  EXPECT_EQ(sim.shellRequests.back().data.info, "") << "taken down after its 5 s, by a timer";
}

TEST_F(BusyShell, LeavingTheTrayStopsTheTrying) {
  sim.shellRefusesAdds = 1000;
  tray->setInTray(true);
  sim.advance(10000);
  tray->setInTray(false);
  const std::size_t sent = sim.shellRequests.size();
  sim.advance(600000);
  EXPECT_EQ(sim.shellRequests.size(), sent);
  EXPECT_EQ(requests(kNimDelete), 0) << "nothing to delete";
}

}  // namespace
}  // namespace pellucor::test
