// The hot key as Windows delivers keys: the low-level hook is called before
// the key state changes, and the "pressed since" bit is shared and stale.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "harness.h"
#include "hider/mod_keyboard.h"

namespace pellucor::test {
namespace {

using modKeyboard::kVkControl;
using modKeyboard::kVkMenu;
using modKeyboard::kVkS;

constexpr int kVkShift = 0x10;
constexpr int kVkC = 0x43;
constexpr int kVkLControl = 0xA2;
constexpr int kVkRMenu = 0xA5;

struct HotKey : ::testing::Test {
  Desktop d;
  Form1& f = d.start();

  void down(int vk) { d.sim.userKey(vk, true); }
  void up(int vk) { d.sim.userKey(vk, false); }
  void tap(int vk) {
    down(vk);
    up(vk);
  }
  // Letters and spaces, as a user types them into another program.
  void type(const std::string& text) {
    for (char c : text) tap(c == ' ' ? 0x20 : std::toupper(static_cast<unsigned char>(c)));
  }
  void chord(std::initializer_list<int> held, int key) {
    for (int vk : held) down(vk);
    tap(key);
    for (auto it = std::rbegin(held); it != std::rend(held); ++it) up(*it);
  }
  bool stopAsked() {
    d.sim.runPending();
    return modKeyboard::StopRequested != 0;
  }
};

TEST_F(HotKey, AnSTypedEarlierDoesNotMakeCtrlCAStop) {
  type("this is a test");
  chord({kVkControl}, kVkC);
  EXPECT_FALSE(stopAsked());
  EXPECT_EQ(d.sim.hookResults.size(), 32u);
  EXPECT_EQ(d.sim.nextHookCalls, 32) << "every key went on down the chain";
}

TEST_F(HotKey, CtrlSAndCtrlShiftSStopOnTheKeyDown) {
  down(kVkControl);
  down(kVkS);
  EXPECT_TRUE(stopAsked()) << "the S key-down itself, before its key state changes";
  EXPECT_EQ(d.sim.nextHookCalls, 1) << "only Ctrl went down the chain; the stop key does not";
  up(kVkS);
  up(kVkControl);
  d.sim.runPending();
  EXPECT_EQ(d.sim.nextHookCalls, 3) << "the key-ups go on as usual";

  modKeyboard::StopRequested = 0;
  chord({kVkControl, kVkShift}, kVkS);
  EXPECT_TRUE(stopAsked());
}

TEST_F(HotKey, CtrlReleasedBeforeSIsAPlainS) {
  tap(kVkControl);
  tap(kVkS);
  EXPECT_FALSE(stopAsked());
}

TEST_F(HotKey, AltGrSAndCtrlAltSTypeLettersAndDoNotStop) {
  // AltGr arrives as left Ctrl, then right Alt.
  chord({kVkLControl, kVkRMenu}, kVkS);
  EXPECT_FALSE(stopAsked());
  chord({kVkControl, kVkMenu}, kVkS);
  EXPECT_FALSE(stopAsked());
  chord({kVkLControl}, kVkS);
  EXPECT_TRUE(stopAsked()) << "left Ctrl alone is Ctrl";
}

TEST_F(HotKey, OnlyTheSKeyDownIsLookedInto) {
  for (int vk : {kVkControl, kVkC, 0x41, kVkShift}) down(vk);
  up(kVkS);
  d.sim.runPending();
  EXPECT_EQ(d.sim.keyStateQueries, 0) << "no key-state query for any other event";
  down(kVkS);
  d.sim.runPending();
  EXPECT_LE(d.sim.keyStateQueries, 2);
}

TEST_F(HotKey, CodesOtherThanActionGoStraightDownTheChain) {
  EXPECT_EQ(modKeyboard::KeyboardHookProc(d.sim, 3, modKeyboard::kWmKeyDown, kVkS), 0);
  EXPECT_EQ(d.sim.keyStateQueries, 0);
  EXPECT_EQ(d.sim.nextHookCalls, 1);
}

TEST_F(HotKey, SRepeatingWhileHeldStopsTheRunOnceAndTheNextRunStartsNormally) {
  bool runningAgain = false;
  bool stoppedByTheFirstS = false;
  d.sim.at(7000, [&] {
    down(kVkControl);
    for (int i = 0; i < 5; ++i) down(kVkS);  // the keyboard's repeat
  });
  d.sim.at(7001, [&] { stoppedByTheFirstS = !f.Timer1.enabled(); });
  d.sim.at(7100, [&] {
    up(kVkS);
    up(kVkControl);
  });
  d.sim.userClick(Form1::kPushButton2);
  d.sim.runPending();
  EXPECT_EQ(d.sim.control(Form1::kPushButton2).text, kStartCaption);
  EXPECT_TRUE(stoppedByTheFirstS);

  d.sim.at(3000, [&] { runningAgain = d.sim.control(Form1::kPushButton2).text == kStopCaption; });
  d.sim.at(4000, [&] { chord({kVkControl}, kVkS); });
  d.sim.userClick(Form1::kPushButton2);
  d.sim.runPending();
  EXPECT_TRUE(runningAgain) << "the repeats after the stop are cleared by the next start";
}

TEST_F(HotKey, TheWindowComesForwardOnceTheKeysAreLetGo) {
  struct Seen {
    bool visible = true, cursorShown = false, running = true;
  } held;
  bool hiddenBefore = false;
  d.sim.at(9000, [&] {
    hiddenBefore = d.sim.cursorDisplayCount < 0;
    down(kVkControl);
  });
  d.sim.at(9050, [&] { down(kVkS); });
  d.sim.at(9200, [&] {
    held = {d.sim.windowVisible(), d.sim.cursorDisplayCount >= 0, f.Timer1.enabled()};
    up(kVkS);
  });
  d.sim.at(9300, [&] { up(kVkControl); });
  d.sim.userClick(Form1::kPushButton2);
  d.sim.runPending();
  ASSERT_TRUE(hiddenBefore);
  EXPECT_FALSE(held.running) << "stopped at the S key-down";
  EXPECT_TRUE(held.cursorShown) << "the cursor shows at once";
  EXPECT_FALSE(held.visible) << "the window waits while the keys are down";
  EXPECT_TRUE(d.sim.windowVisible());
  EXPECT_GE(d.sim.nowMs(), 9300);
  EXPECT_LT(d.sim.nowMs(), 9400) << "and comes as soon as they are up";
}

TEST_F(HotKey, KeysHeldDownDelayTheWindowByASecondAtMost) {
  d.sim.at(7000, [&] {
    down(kVkControl);
    down(kVkS);
  });
  d.sim.at(9000, [&] {
    EXPECT_TRUE(d.sim.windowVisible()) << "a second after the stop, keys or not";
    up(kVkS);
    up(kVkControl);
  });
  d.sim.userClick(Form1::kPushButton2);
  d.sim.runPending();
  EXPECT_TRUE(d.sim.windowVisible());
  EXPECT_LE(d.sim.nowMs(), 8100);
  d.sim.advance(2000);
}

TEST_F(HotKey, EachRunPutsBackAHookThatWindowsDropped) {
  d.sim.dropKeyboardHooks();  // it once ran too long
  d.sim.at(7000, [&] { chord({kVkControl}, kVkS); });
  d.sim.userClick(Form1::kPushButton2);
  d.sim.runPending();
  EXPECT_EQ(d.sim.control(Form1::kPushButton2).text, kStartCaption);
  EXPECT_EQ(d.sim.nowMs(), 7000);

  // A live hook re-installed leaves one hook, so every key is seen once.
  d.sim.at(7000, [&] { chord({kVkControl}, kVkS); });
  d.sim.userClick(Form1::kPushButton2);
  d.sim.runPending();
  EXPECT_EQ(d.sim.keyboardHooks(), 1u);
  const int before = d.sim.nextHookCalls;
  tap(kVkC);
  d.sim.runPending();
  EXPECT_EQ(d.sim.nextHookCalls, before + 2) << "a key down and up, each through our procedure once";
}

TEST_F(HotKey, AHookThatCannotBeReinstalledKeepsTheOldOne) {
  const HookHandle installed = modKeyboard::KeyboardHookHandle;
  d.sim.failKeyboardHook = true;
  modKeyboard::ReinstallKeyboardHook(d.sim);
  EXPECT_EQ(modKeyboard::KeyboardHookHandle, installed);
  chord({kVkControl}, kVkS);
  EXPECT_TRUE(stopAsked());
}

TEST_F(HotKey, InstalledAtStartAndRemovedAtClose) {
  EXPECT_NE(modKeyboard::KeyboardHookHandle, 0u);
  EXPECT_EQ(d.sim.keyboardHooks(), 1u);
  d.sim.userClose();
  EXPECT_THROW(d.sim.runPending(), ProcessEnded);
  EXPECT_EQ(d.sim.keyboardHooks(), 0u);
}

}  // namespace
}  // namespace pellucor::test
