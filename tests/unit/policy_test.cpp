// Group Policy: what an administrator sets for the machine or the user
// applies over the user's own choices, greys their controls, and leaves the
// stored choices as they were.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "command/command_line.h"
#include "harness.h"
#include "policy/policy.h"

namespace pellucor::test {
namespace {

using ::testing::ElementsAre;
using Scope = PolicyScope;

PolicyValue Number(std::uint32_t n) { return {kRegDword, n, {}}; }
PolicyValue Texts(std::uint32_t type, std::vector<std::string> texts) { return {type, 0, std::move(texts)}; }

TEST(PolicyValues, WhatEachValueSetsAndWhatIsIgnored) {
  const struct {
    const char* what;
    PolicyRule rule;
    PolicyValue value;
    std::optional<std::uint32_t> sets;
  } cases[] = {
      {"seconds", kIdleSecondsRule, Number(7), 7},
      {"the fewest seconds", kIdleSecondsRule, Number(1), 1},
      {"the most seconds the tick takes", kIdleSecondsRule, Number(32767), 32767},
      {"0 seconds", kIdleSecondsRule, Number(0), std::nullopt},
      {"too many seconds", kIdleSecondsRule, Number(32768), std::nullopt},
      {"a negative number as a DWORD", kIdleSecondsRule, Number(0xFFFFFFFF), std::nullopt},
      {"seconds as text", kIdleSecondsRule, Texts(kRegSz, {"7"}), std::nullopt},
      {"a switch on", kHideWhileTypingRule, Number(1), 1},
      {"a switch off", kWheelKeepsHiddenRule, Number(0), 0},
      {"a switch at 2", kStartHidingRule, Number(2), std::nullopt},
      {"50 pixels", kIgnoredPixelsRule, Number(50), 50},
      {"51 pixels", kIgnoredPixelsRule, Number(51), std::nullopt},
      {"a list as a number", kNeverHideInRule, Number(1), std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(PolicyNumber(c.rule, c.value), c.sets) << c.what;

  sim::SimDesktop files;
  const struct {
    const char* what;
    PolicyValue value;
    std::optional<std::vector<std::string>> sets;
  } lists[] = {
      {"names and paths", Texts(kRegMultiSz, {"mstsc.exe", " C:\\Games\\Game.exe "}),
       std::vector<std::string>{"mstsc.exe", "Game.exe"}},
      {"duplicates, as Windows compares names", Texts(kRegMultiSz, {"a.exe", "A.EXE"}),
       std::vector<std::string>{"a.exe"}},
      {"a bad name among good ones", Texts(kRegMultiSz, {"a|b.exe", "c.exe"}), std::vector<std::string>{"c.exe"}},
      {"an empty list: nothing excluded", Texts(kRegMultiSz, {}), std::vector<std::string>{}},
      {"nothing but bad names", Texts(kRegMultiSz, {"a|b", "<c>"}), std::nullopt},
      {"one name as REG_SZ", Texts(kRegSz, {"a.exe"}), std::nullopt},
  };
  for (const auto& c : lists) EXPECT_EQ(PolicyPrograms(c.value, files), c.sets) << c.what;

  const struct {
    const char* what;
    PolicyRule rule;
    PolicyValue value;
    std::optional<KeyChord> sets;
  } keys[] = {
      {"a stop key", kStopHotKeyRule, Texts(kRegSz, {"Ctrl+Alt+H"}), KeyChord{true, true, false, false, 0x48}},
      {"a stop key without Ctrl or Alt", kStopHotKeyRule, Texts(kRegSz, {"Shift+H"}), std::nullopt},
      {"no stop key", kStopHotKeyRule, Texts(kRegSz, {""}), std::nullopt},
      {"no hide key", kHideHotKeyRule, Texts(kRegSz, {""}), KeyChord{}},
      {"a hide key Windows keeps", kHideHotKeyRule, Texts(kRegSz, {"Alt+Tab"}), std::nullopt},
      {"a key as a list", kHideHotKeyRule, Texts(kRegMultiSz, {"Ctrl+Alt+P"}), std::nullopt},
      {"a key that is no key", kStopHotKeyRule, Texts(kRegSz, {"Ctrl+Banana"}), std::nullopt},
  };
  for (const auto& c : keys) EXPECT_EQ(PolicyChord(c.rule, c.value), c.sets) << c.what;
}

// "Hide only in" takes the list's place and meaning from "never hide in";
// the keys and the full-screen rule apply over the user's own, greyed.
TEST(PolicyValues, TheNewerChoicesUnderPolicy) {
  Desktop d;
  d.store("Hide Key", "Ctrl+Alt+P");
  d.sim.setPolicyList(Scope::Machine, "NeverHideIn", {"mstsc.exe"});
  d.sim.setPolicyList(Scope::User, "HideOnlyIn", {"POWERPNT.EXE"});
  d.sim.setPolicyNumber(Scope::User, "NeverHideInFullScreen", 1);
  d.sim.setPolicy(Scope::Machine, "StopHotKey", {kRegSz, "Ctrl+Alt+H"});
  d.sim.setPolicy(Scope::Machine, "HideHotKey", {kRegSz, ""});
  MainWindow& f = d.start();
  const Options& o = f.choices.options();
  EXPECT_THAT(o.neverHideIn, ElementsAre("POWERPNT.EXE"));
  EXPECT_TRUE(o.hideOnlyInListed);
  EXPECT_TRUE(o.neverHideInFullScreen);
  EXPECT_EQ(ChordText(o.stopKey), "Ctrl+Alt+H");
  EXPECT_TRUE(o.hideKey.empty()) << "the policy's none over the user's own";
  EXPECT_TRUE(d.sim.hotKeys.empty());
  EXPECT_EQ(d.sim.control(MainWindow::kRunButton).text, "Start Running (Press Ctrl + Alt + H To Stop)");
  const ManagedFields managed = ManagedBy(f.choices.policies());
  EXPECT_TRUE(managed.programs && managed.neverHideInFullScreen && managed.stopKey && managed.hideKey);
  EXPECT_EQ(d.stored("Hide Key"), "Ctrl+Alt+P");
  // Lifted, the user's own come back.
  for (const char* name : {"HideOnlyIn", "NeverHideInFullScreen", "HideHotKey"}) d.sim.removePolicy(Scope::User, name);
  d.sim.removePolicy(Scope::Machine, "HideHotKey");
  d.sim.policyRefreshed();
  d.sim.runPending();
  EXPECT_THAT(f.choices.options().neverHideIn, ElementsAre("mstsc.exe"));
  EXPECT_FALSE(f.choices.options().hideOnlyInListed);
  EXPECT_FALSE(f.choices.options().neverHideInFullScreen);
  EXPECT_EQ(ChordText(f.choices.options().hideKey), "Ctrl+Alt+P");
  EXPECT_EQ(d.sim.hotKeys.count(HidingRun::kHideHotKey), 1u) << "registered once the policy let go";
}

TEST(PolicyValues, TheMachinesWinsValueByValueAndAnUnusableOneCountsAsNotSet) {
  sim::SimDesktop sim;
  sim.setPolicyNumber(Scope::Machine, "IdleSeconds", 10);
  sim.setPolicyNumber(Scope::User, "IdleSeconds", 20);
  sim.setPolicyNumber(Scope::User, "HideWhileTyping", 1);
  sim.setPolicyNumber(Scope::Machine, "IgnoredMovementPixels", 99);
  sim.setPolicyNumber(Scope::User, "IgnoredMovementPixels", 5);
  sim.setPolicy(Scope::Machine, "WheelKeepsHidden", {kRegDword, "\1"});  // too short for a DWORD
  const Policies p = ReadPolicies(sim, sim);
  EXPECT_EQ(p.idleSeconds, 10);
  EXPECT_EQ(p.hideWhileTyping, true);
  EXPECT_EQ(p.ignoredPixels, 5);
  EXPECT_EQ(p.wheelKeepsHidden, std::nullopt);
  EXPECT_EQ(p.startHiding, std::nullopt);
  EXPECT_EQ(p.neverHideIn, std::nullopt);
}

struct UnderPolicy : ::testing::Test {
  Desktop d;
};

TEST_F(UnderPolicy, SetChoicesApplyAtStartAndOnRefreshGreyedAndTheUsersComeBackWhenTheyGo) {
  d.store("Path", "9");
  d.store("Hide While Typing", "Off");
  d.sim.setPolicyNumber(Scope::Machine, "IdleSeconds", 2);
  d.sim.setPolicyNumber(Scope::Machine, "HideWhileTyping", 1);
  MainWindow& f = d.start();
  EXPECT_EQ(f.idleSecondsField.text(), "2");
  EXPECT_FALSE(d.sim.control(MainWindow::kIdleSecondsField).enabled);
  EXPECT_TRUE(f.choices.options().hideWhileTyping);

  // A run: a key hides at once; the ticks count to the policy's 2 seconds.
  struct {
    bool typed = false, rested = false, refreshed = false, back = false;
  } seen;
  d.sim.at(5500, [&] { d.tap(0x48); });
  d.sim.at(5501, [&] { seen.typed = d.cursorHidden(); });
  d.sim.at(5600, [&] { d.sim.userMoveMouse({40, 40}); });
  d.sim.at(7900, [&] { seen.rested = d.cursorHidden(); });  // ticks at 7 and 8 s: still shown
  d.sim.at(8100, [&] { seen.rested = !seen.rested && d.cursorHidden(); });
  // The administrator takes the seconds away and turns typing off.
  d.sim.at(8200, [&] {
    d.sim.userMoveMouse({50, 50});
    d.sim.removePolicy(Scope::Machine, "IdleSeconds");
    d.sim.setPolicyNumber(Scope::Machine, "HideWhileTyping", 0);
    d.sim.policyRefreshed();
  });
  d.sim.at(8300, [&] {
    d.tap(0x48);
    seen.refreshed = !d.cursorHidden();
  });
  d.sim.at(8400, [&] { seen.back = f.idleSecondsField.text() == "9"; });
  d.sim.at(8500, [&] { d.chord({0x11, 0x10}, 0x53); });  // Ctrl+Shift+S ends the run
  d.sim.userClick(MainWindow::kRunButton);
  d.sim.runPending();
  EXPECT_TRUE(seen.typed) << "the policy's typing choice over the user's Off";
  EXPECT_TRUE(seen.rested) << "hidden after the policy's 2 still seconds, not the user's 9";
  EXPECT_TRUE(seen.refreshed) << "typing off once the refreshed policy said so";
  EXPECT_TRUE(seen.back) << "the user's own seconds once the policy went";
  EXPECT_TRUE(d.sim.control(MainWindow::kIdleSecondsField).enabled);
  EXPECT_EQ(d.stored("Path"), "9");
  // A command line may set the seconds again once no policy holds them.
  d.sim.setPolicyNumber(Scope::User, "IdleSeconds", 4);
  d.sim.policyRefreshed();
  d.sim.runPending();
  EXPECT_EQ(f.commands.CarryOut(Command{CommandAction::None, "7"}), kAnswerSecondsManaged);
  EXPECT_EQ(f.idleSecondsField.text(), "4");
  EXPECT_EQ(d.stored("Path"), "9");
  EXPECT_EQ(d.stored("Hide While Typing"), "Off");
}

TEST_F(UnderPolicy, TheOptionsWindowShowsManagedChoicesAndOkStoresOnlyTheOthers) {
  d.store("Ignored Movement Pixels", "3");
  d.sim.setPolicyNumber(Scope::User, "IgnoredMovementPixels", 20);
  d.sim.setPolicyList(Scope::Machine, "NeverHideIn", {"kiosk.exe"});
  d.sim.setPolicyNumber(Scope::Machine, "WheelKeepsHidden", 0);
  d.sim.setPolicy(Scope::Machine, "HideWhileTyping", {kRegSz, "1"});  // wrong type: the user's applies
  MainWindow& f = d.start();
  ManagedFields managed;
  d.sim.useOptionsDialog = [&](sim::SimOptionsDialog& dialog) {
    managed = dialog.fields.managed;
    EXPECT_EQ(dialog.fields.ignoredPixels, "20");
    EXPECT_EQ(dialog.fields.programs, "kiosk.exe");
    // Greyed on Windows; were they edited all the same, they are not stored.
    dialog.fields.ignoredPixels = "40";
    dialog.fields.programs = "other.exe";
    dialog.fields.wheelKeepsHidden = true;
    dialog.fields.hideWhileTyping = true;
    EXPECT_TRUE(dialog.pressOk());
  };
  d.sim.userMenuCommand(SystemMenu::kOptionsMenuItem);
  d.sim.runPending();
  EXPECT_TRUE(managed.ignoredPixels && managed.programs && managed.wheelKeepsHidden);
  EXPECT_FALSE(managed.hideWhileTyping || managed.startHiding);
  EXPECT_THAT(d.logOf({"writeSetting"}), ElementsAre("writeSetting Hide While Typing On"));
  EXPECT_EQ(d.stored("Ignored Movement Pixels"), "3");
  EXPECT_EQ(f.choices.options().ignoredPixels, 20);
  EXPECT_THAT(f.choices.options().neverHideIn, ElementsAre("kiosk.exe"));
  EXPECT_FALSE(f.choices.options().wheelKeepsHidden);
  EXPECT_TRUE(f.choices.options().hideWhileTyping);
}

// The policy goes while the window is open (a Group Policy refresh): OK keeps
// the field the window showed greyed as the user had it.
TEST_F(UnderPolicy, APolicyLiftedWhileTheOptionsWindowIsOpenStoresNothingOfIt) {
  d.store("Ignored Movement Pixels", "3");
  d.sim.setPolicyNumber(Scope::User, "IgnoredMovementPixels", 20);
  MainWindow& f = d.start();
  d.sim.useOptionsDialog = [&](sim::SimOptionsDialog& dialog) {
    d.sim.removePolicy(Scope::User, "IgnoredMovementPixels");
    d.sim.policyRefreshed();
    d.sim.processPendingMessages();  // the dialog's own loop
    EXPECT_TRUE(dialog.pressOk());
  };
  d.sim.userMenuCommand(SystemMenu::kOptionsMenuItem);
  d.sim.runPending();
  EXPECT_TRUE(d.logOf({"writeSetting"}).empty());
  EXPECT_EQ(d.stored("Ignored Movement Pixels"), "3");
  EXPECT_EQ(f.choices.options().ignoredPixels, 3);
}

}  // namespace
}  // namespace pellucor::test
