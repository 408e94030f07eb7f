// The keys the user chooses: the chord that stops a run, the one that hides
// the pointer now, and Ctrl alone with Windows' rings around the pointer.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "harness.h"
#include "hider/keyboard_hook.h"
#include "options/key_chord.h"
#include "options/options_dialog.h"

namespace pellucor::test {
namespace {

constexpr int kVkH = 0x48, kVkEscape = 0x1B;
constexpr KeyChord kCtrlAltH{true, true, false, false, kVkH};

TEST(Chords, ReadWrittenAndRefusedInTheirOwnWords) {
  const struct {
    const char* stored;
    std::optional<KeyChord> read;
    const char* written;  // as stored again
  } cases[] = {
      {"Ctrl+Shift+S", kDefaultStopKey, "Ctrl+Shift+S"},
      {" ctrl + alt + h ", kCtrlAltH, "Ctrl+Alt+H"},
      {"Alt+F9", KeyChord{false, true, false, false, 0x78}, "Alt+F9"},
      {"Ctrl+Num Plus", KeyChord{true, false, false, false, 0x6B}, "Ctrl+Num Plus"},
      {"Ctrl+Page Down", KeyChord{true, false, false, false, 0x22}, "Ctrl+Page Down"},
      {"Ctrl+-", KeyChord{true, false, false, false, 0xBD}, "Ctrl+-"},
      {"", KeyChord{}, ""},
      {"Ctrl+Ctrl+S", std::nullopt, ""},
      {"Ctrl+Shift", std::nullopt, ""},
      {"Hyper+S", std::nullopt, ""},
      {"Ctrl+F25", std::nullopt, ""},
      {"Ctrl+", std::nullopt, ""},
  };
  for (const auto& c : cases) {
    const std::optional<KeyChord> read = ReadChord(c.stored);
    EXPECT_EQ(read, c.read) << c.stored;
    if (read) {
      EXPECT_EQ(ChordText(*read), c.written) << c.stored;
    }
  }
  EXPECT_EQ(ChordText(kCtrlAltH, " + "), "Ctrl + Alt + H");
  sim::SimDesktop english;
  EXPECT_EQ(RunButtonCaption(true, kCtrlAltH, english), "Stop Running (Press Ctrl + Alt + H To Stop)");
  EXPECT_EQ(RunButtonCaption(false, kDefaultStopKey, english), kStartCaption);
}

TEST(Chords, OnlyChordsHeldWithCtrlOrAltAndNotKeptByWindowsServe) {
  const struct {
    KeyChord chord;
    ChordUse use;
    const char* fault;  // a word the box says, or "" for none
  } cases[] = {
      {kDefaultStopKey, ChordUse::StopKey, ""},
      {kCtrlAltH, ChordUse::HideKey, ""},
      {KeyChord{}, ChordUse::HideKey, ""},
      {KeyChord{}, ChordUse::StopKey, "Choose a key"},
      {KeyChord{false, false, true, false, kVkH}, ChordUse::StopKey, "typing would stop it"},
      {KeyChord{false, false, false, false, kVkH}, ChordUse::HideKey, "typing would hide it"},
      {KeyChord{true, false, false, true, kVkH}, ChordUse::StopKey, "Windows key"},
      {KeyChord{true, true, false, false, 0x2E}, ChordUse::StopKey, "Ctrl + Alt + Delete is kept by Windows"},
      {KeyChord{true, false, false, false, kVkEscape}, ChordUse::StopKey, "Ctrl + Esc is kept"},
      {KeyChord{true, false, true, false, kVkEscape}, ChordUse::HideKey, "Ctrl + Shift + Esc is kept"},
      {KeyChord{false, true, false, false, kVkEscape}, ChordUse::StopKey, "Alt + Esc is kept"},
      {KeyChord{false, true, true, false, 0x09}, ChordUse::HideKey, "Alt + Shift + Tab is kept"},
      {KeyChord{true, false, false, false, 0x7B}, ChordUse::HideKey, "debuggers"},
      {KeyChord{true, false, false, false, 0x7B}, ChordUse::StopKey, ""},
      {KeyChord{true, false, false, false, 0xA0}, ChordUse::StopKey, "cannot use this key"},
  };
  sim::SimDesktop english;
  for (const auto& c : cases) {
    const std::string fault = ChordFault(c.chord, c.use, english);
    if (*c.fault == '\0') {
      EXPECT_EQ(fault, "") << ChordText(c.chord);
    } else {
      EXPECT_THAT(fault, ::testing::HasSubstr(c.fault)) << ChordText(c.chord);
    }
  }
}

// A stored key that cannot serve gives the default, and nothing else is lost.
TEST(Chords, StoredKeysThatCannotServeGiveTheDefaults) {
  Desktop d;
  d.store("Stop Key", "Ctrl+Alt+Delete");
  d.store("Hide Key", "Shift+P");
  d.store("Ignored Movement Pixels", "7");
  MainWindow& f = d.start();
  EXPECT_EQ(f.choices.options().stopKey, kDefaultStopKey);
  EXPECT_TRUE(f.choices.options().hideKey.empty());
  EXPECT_EQ(f.choices.options().ignoredPixels, 7);
  EXPECT_EQ(d.stored("Stop Key"), "Ctrl+Alt+Delete") << "nothing written back";
}

struct ChosenKeys : ::testing::Test {
  Desktop d;
  // The left-hand keys, as a low-level hook names them.
  static constexpr int kLCtrl = 0xA2, kLAlt = 0xA4, kRAlt = 0xA5, kLShift = 0xA0;

  MainWindow& startWith(const char* stopKey, const char* hideKey = "") {
    d.store("Stop Key", stopKey);
    d.store("Hide Key", hideKey);
    return d.start();
  }
  std::string caption() { return d.sim.control(MainWindow::kRunButton).text; }
};

// The chosen chord stops a run and goes on to the program in front; the old
// one, and AltGr with the same letter, do not stop it.
TEST_F(ChosenKeys, TheChosenStopKeyStopsARunAndIsPassedOn) {
  MainWindow& f = startWith("Ctrl+Alt+H");
  EXPECT_EQ(caption(), "Start Running (Press Ctrl + Alt + H To Stop)");
  std::string during;
  int passedOn = -1;
  d.sim.at(6000, [&] {
    during = caption();
    d.chord({kLCtrl, kLShift}, 0x53);  // Ctrl+Shift+S: Save As, no stop
    d.chord({kLCtrl, kRAlt}, kVkH);    // AltGr+H: a letter
  });
  d.sim.at(7000, [&] {
    const int before = d.sim.nextHookCalls;
    d.chord({kLCtrl, kLAlt}, kVkH);
    passedOn = d.sim.nextHookCalls - before;
  });
  d.sim.userClick(MainWindow::kRunButton);
  d.sim.runPending();
  EXPECT_EQ(during, "Stop Running (Press Ctrl + Alt + H To Stop)");
  EXPECT_EQ(d.sim.nowMs(), 7000) << "stopped by Ctrl+Alt+H only";
  EXPECT_EQ(passedOn, 6) << "every key of the chord went on down the chain";
  EXPECT_FALSE(f.run.running());
}

// The hide key is Windows' hot key: with or without a run it hides the
// pointer, and the mouse brings it back as it brings back a hidden pointer.
TEST_F(ChosenKeys, TheHideKeyHidesWithOrWithoutARun) {
  MainWindow& f = startWith("Ctrl+Shift+S", "Ctrl+Alt+P");
  const KeyChord hideKey = *ReadChord("Ctrl+Alt+P");
  ASSERT_EQ(d.sim.hotKeys.count(HidingRun::kHideHotKey), 1u);
  d.sim.userHotKey(hideKey);
  d.sim.runPending();
  EXPECT_TRUE(d.cursorHidden()) << "no run";
  d.sim.userMoveMouse({5, 5});
  d.sim.runPending();
  EXPECT_FALSE(d.cursorHidden());
  EXPECT_EQ(d.sim.keyboardHooks(), 0u) << "no run, no sonar: the keys are not watched";

  // In a run, the move just before the key is no move after the hide: the
  // next tick leaves the pointer hidden.
  bool hiddenAtOnce = false, hiddenAfterTheTick = false;
  d.sim.at(6500, [&] {
    d.sim.userMoveMouse({9, 9});
    d.sim.userHotKey(hideKey);
  });
  d.sim.at(6501, [&] { hiddenAtOnce = d.cursorHidden(); });
  d.sim.at(7100, [&] { hiddenAfterTheTick = d.cursorHidden(); });
  d.sim.at(7200, [&] { d.chord({kVkControl, kVkShift}, 0x53); });
  d.sim.userClick(MainWindow::kRunButton);
  d.sim.runPending();
  EXPECT_TRUE(hiddenAtOnce);
  EXPECT_TRUE(hiddenAfterTheTick);
  EXPECT_FALSE(f.run.running());
}

// Windows refuses a hot key another program holds: a box says so at the
// start, once, and again when Options chose another that is taken.
TEST_F(ChosenKeys, AHideKeyWindowsRefusesIsToldOnceAndTheRestWorks) {
  d.sim.hotKeysTakenElsewhere = {*ReadChord("Ctrl+Alt+P"), *ReadChord("Ctrl+Alt+O")};
  MainWindow& f = startWith("Ctrl+Shift+S", "Ctrl+Alt+P");
  ASSERT_EQ(d.sim.boxes.size(), 1u);
  EXPECT_THAT(d.sim.boxes[0].text, ::testing::HasSubstr("Ctrl + Alt + P"));
  d.sim.useOptionsDialog = [&](sim::SimOptionsDialog& dialog) {
    dialog.fields.wheelKeepsHidden = true;  // the hide key unchanged: no new box
    EXPECT_TRUE(dialog.pressOk());
  };
  d.sim.userMenuCommand(SystemMenu::kOptionsMenuItem);
  d.sim.runPending();
  EXPECT_EQ(d.sim.boxes.size(), 1u);
  d.sim.useOptionsDialog = [&](sim::SimOptionsDialog& dialog) {
    dialog.fields.hideKey = *ReadChord("Ctrl+Alt+O");
    EXPECT_TRUE(dialog.pressOk());
  };
  d.sim.userMenuCommand(SystemMenu::kOptionsMenuItem);
  d.sim.runPending();
  ASSERT_EQ(d.sim.boxes.size(), 2u);
  EXPECT_THAT(d.sim.boxes[1].text, ::testing::HasSubstr("Ctrl + Alt + O"));
  EXPECT_EQ(d.stored("Hide Key"), "Ctrl+Alt+O") << "the choice is kept for when the key is free";
  EXPECT_TRUE(f.choices.options().wheelKeepsHidden);
}

// Options refuses a chord that cannot serve, and one key for both jobs.
TEST_F(ChosenKeys, OptionsRefusesWhatCannotServeAndStoresNothing) {
  MainWindow& f = startWith("Ctrl+Shift+S");
  const struct {
    KeyChord stop, hide;
    OptionsField field;
  } cases[] = {
      {KeyChord{false, false, false, false, kVkH}, {}, OptionsField::StopKey},
      {kDefaultStopKey, KeyChord{true, false, false, false, kVkEscape}, OptionsField::HideKey},
      {kCtrlAltH, kCtrlAltH, OptionsField::HideKey},
  };
  for (const auto& c : cases) {
    std::vector<Refusal> refused;
    d.sim.useOptionsDialog = [&](sim::SimOptionsDialog& dialog) {
      dialog.fields.stopKey = c.stop;
      dialog.fields.hideKey = c.hide;
      EXPECT_FALSE(dialog.pressOk());
      refused = dialog.refusals;
      dialog.pressCancel();
    };
    d.sim.userMenuCommand(SystemMenu::kOptionsMenuItem);
    d.sim.runPending();
    ASSERT_EQ(refused.size(), 1u) << ChordText(c.stop) << " / " << ChordText(c.hide);
    EXPECT_EQ(refused[0].field, c.field) << ChordText(c.stop);
  }
  EXPECT_TRUE(d.logOf({"writeSetting"}).empty());
  EXPECT_EQ(f.run.stopKey(), kDefaultStopKey);
}

// With Windows' rings on, Ctrl pressed and let go alone shows a hidden
// pointer; Ctrl in a chord is no such press, and with the rings off it
// shows nothing.
TEST_F(ChosenKeys, CtrlAloneShowsAHiddenPointerWhenTheRingsAreOn) {
  const struct {
    bool sonar;
    bool chord;  // Ctrl+C rather than Ctrl alone
    bool shown;
  } cases[] = {{true, false, true}, {true, true, false}, {false, false, false}};
  for (const auto& c : cases) {
    Desktop local;
    local.sim.pointerSonar = c.sonar;
    local.store("Hide Key", "Ctrl+Alt+P");
    local.start();
    local.sim.userHotKey(*ReadChord("Ctrl+Alt+P"));
    local.sim.runPending();
    ASSERT_TRUE(local.cursorHidden());
    if (c.chord) {
      local.chord({kLCtrl}, 0x43);
    } else {
      local.tap(kLCtrl);
    }
    local.sim.runPending();
    EXPECT_EQ(!local.cursorHidden(), c.shown) << "sonar " << c.sonar << (c.chord ? ", Ctrl+C" : ", Ctrl alone");
    local.sim.userMoveMouse({3, 3});
    local.sim.runPending();
    EXPECT_EQ(local.sim.keyboardHooks(), 0u) << "the keys watched for the rings only while hidden";
  }
}

}  // namespace
}  // namespace pellucor::test
