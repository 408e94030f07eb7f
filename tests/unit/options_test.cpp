// The Options window's choices: hiding as soon as the user types, movements
// small enough to ignore, the wheel, starting to hide at start, programs in
// front of which nothing is hidden, and the dialog that sets them.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "harness.h"
#include "options/options_dialog.h"
#include "options/typing.h"

namespace pellucor::test {
namespace {

using ::testing::ElementsAre;

constexpr int kVkShift = 0x10, kVkControl = 0x11, kVkMenu = 0x12, kVkS = 0x53;

// A first run: the balloon takes 5 s, the ticks come at 6, 7 and 8 s, and
// the third still one hides the resting pointer at 8 s.
constexpr std::int64_t kRunning = 5500;
constexpr std::int64_t kHiddenAt = 8000;

TEST(TypingRule, KeysThatTypeAndKeysThatDoNot) {
  const struct {
    const char* what;
    KeyDown key;
    bool types;
  } cases[] = {
      {"a letter", {0x41}, true},
      {"Shift+letter (the letter's key; Shift is no Ctrl)", {0x41}, true},
      {"a digit", {0x37}, true},
      {"punctuation (OEM comma)", {0xBC}, true},
      {"Space, Enter, Tab, Backspace, Delete", {0x20}, true},
      {"Enter", {0x0D}, true},
      {"Tab", {0x09}, true},
      {"Backspace", {0x08}, true},
      {"Delete", {0x2E}, true},
      {"an arrow", {0x25}, true},
      {"Home, End, Page Down", {0x24}, true},
      {"Page Down", {0x22}, true},
      {"AltGr+E (Left Ctrl and Right Alt)", {0x45, false, true, true, false, true}, true},
      {"Ctrl+Left Alt+E, a shortcut", {0x45, false, true, true, false, false}, false},
      {"Ctrl+Left Alt+Right arrow", {0x27, false, true, true, false, false}, false},
      {"Ctrl+C", {0x43, false, true, false, false}, false},
      {"Alt+Tab", {0x09, false, false, true, false}, false},
      {"Win+E", {0x45, false, false, false, true}, false},
      {"F5", {0x74}, false},
      {"Escape", {0x1B}, false},
      {"Shift alone", {0xA0}, false},
      {"Caps Lock", {0x14}, false},
      {"volume up", {0xAF}, false},
      {"browser back", {0xA6}, false},
      {"an injected letter (an on-screen keyboard)", {0x41, true}, false},
      {"a key the input method is processing", {0xE5}, false},
      {"a Japanese input-mode key", {0xF3}, false},
      {"Zoom", {0xFB}, false},
      {"no key (0xFF)", {0xFF}, false},
  };
  for (const auto& c : cases) EXPECT_EQ(KeyTypes(c.key), c.types) << c.what;
}

struct Choices : ::testing::Test {
  Desktop d;

  // Starts a run and lets it go until the hot key at `stopAt` (virtual ms).
  void runUntil(std::int64_t stopAt) {
    d.sim.at(stopAt, [&] { d.chord({kVkControl, kVkShift}, kVkS); });
    d.sim.userClick(MainWindow::kRunButton);
    d.sim.runPending();
  }
};

TEST_F(Choices, TypingHidesThePointerAtOnceAndAMoveShowsIt) {
  d.store("Hide While Typing", "On");
  d.start();
  struct {
    bool afterLetter = false, guardian = false, afterMove = true, afterCtrlC = true, afterInjected = true,
         tickAfterMoveThenKey = false;
  } seen;
  d.sim.at(kRunning, [&] { d.tap(0x48); });
  d.sim.at(kRunning + 1, [&] { seen.afterLetter = d.cursorHidden(), seen.guardian = d.sim.guardianAlive; });
  d.sim.at(kRunning + 200, [&] { d.sim.userMoveMouse({40, 40}); });
  d.sim.at(kRunning + 201, [&] { seen.afterMove = d.cursorHidden(); });
  d.sim.at(kRunning + 300, [&] { d.chord({kVkControl}, 0x43); });
  d.sim.at(kRunning + 301, [&] { seen.afterCtrlC = d.cursorHidden(); });
  d.sim.at(kRunning + 400, [&] { d.tap(0x41, /*injected*/ true); });
  d.sim.at(kRunning + 401, [&] { seen.afterInjected = d.cursorHidden(); });
  // Typing straight after a move: the move was before the hide, so the next
  // tick (at 7 s) must not take it for one after.
  d.sim.at(kRunning + 600, [&] { d.sim.userMoveMouse({60, 60}); });
  d.sim.at(kRunning + 700, [&] { d.tap(0x48); });
  d.sim.at(kRunning + 1501, [&] { seen.tickAfterMoveThenKey = d.cursorHidden(); });
  runUntil(kRunning + 1600);
  EXPECT_TRUE(seen.afterLetter) << "hidden at the key-down, before any tick";
  EXPECT_TRUE(seen.guardian) << "the same blanking as the idle hide";
  EXPECT_FALSE(seen.afterMove);
  EXPECT_FALSE(seen.afterCtrlC);
  EXPECT_FALSE(seen.afterInjected);
  EXPECT_TRUE(seen.tickAfterMoveThenKey) << "a move before the typed key showed the pointer at the next tick";
  EXPECT_FALSE(d.cursorHidden()) << "the hot key stopped the run and hid nothing";
  EXPECT_FALSE(d.form->run.keyboardHook().typingWatched()) << "keys are looked at only during a run";

  // Off, or outside a run, typing hides nothing.
  d.tap(0x48);
  d.sim.runPending();
  EXPECT_FALSE(d.cursorHidden());
}

TEST_F(Choices, MovementsWithinTheIgnoredPixelsKeepItHiddenAndCountAsRest) {
  d.store("Ignored Movement Pixels", "3");
  d.start();
  d.sim.userMoveMouse({100, 100});
  d.sim.runPending();
  bool counted = false, afterNudge = false, afterDrift = true;
  // A 1-pixel move at every tick still counts as rest.
  d.sim.at(5900, [&] { d.sim.userMoveMouse({101, 100}); });
  d.sim.at(6900, [&] { d.sim.userMoveMouse({102, 100}); });
  d.sim.at(kHiddenAt + 1, [&] { counted = d.cursorHidden(); });
  d.sim.at(kHiddenAt + 100, [&] { d.sim.userMoveMouse({103, 100}); });
  d.sim.at(kHiddenAt + 101, [&] { afterNudge = d.cursorHidden(); });
  // A slow drift shows it once it has gone farther than 3 from where it hid.
  bool atThree = false;
  d.sim.at(kHiddenAt + 200, [&] { d.sim.userMoveMouse({104, 100}); });
  d.sim.at(kHiddenAt + 250, [&] { d.sim.userMoveMouse({105, 100}); });
  d.sim.at(kHiddenAt + 251, [&] { atThree = d.cursorHidden(); });
  d.sim.at(kHiddenAt + 300, [&] { d.sim.userMoveMouse({106, 100}); });
  d.sim.at(kHiddenAt + 301, [&] { afterDrift = d.cursorHidden(); });
  runUntil(kHiddenAt + 400);
  EXPECT_TRUE(counted) << "moves of 1 and 2 pixels from where the count started";
  EXPECT_TRUE(afterNudge) << "1 pixel from where it hid";
  EXPECT_TRUE(atThree) << "up to 3 pixels";
  EXPECT_FALSE(afterDrift) << "4 pixels away";
}

TEST_F(Choices, ClicksAlwaysShowItAndTheWheelOnlyWhenNotChosen) {
  for (const char* wheel : {"Off", "On"}) {
    Desktop local;
    local.sim.setRegValue(kStore, "Wheel Keeps Hidden", {kRegSz, wheel});
    local.sim.setRegValue(kStore, "Ignored Movement Pixels", {kRegSz, "5"});
    MainWindow& f = local.start();
    bool afterWheel = false, afterClick = true;
    std::int32_t countAfterWheel = -1;
    local.sim.at(kHiddenAt + 100, [&] { local.sim.userWheel(); });
    local.sim.at(kHiddenAt + 101, [&] {
      afterWheel = local.sim.systemCursorsHidden;
      countAfterWheel = f.run.idleTicks();
    });
    local.sim.at(kHiddenAt + 200, [&] { local.sim.userMouseButton(); });
    local.sim.at(kHiddenAt + 201, [&] { afterClick = local.sim.systemCursorsHidden; });
    local.sim.at(kHiddenAt + 300, [&] {
      for (int vk : {kVkControl, kVkShift, kVkS}) local.sim.userKey(vk, true);
      for (int vk : {kVkS, kVkShift, kVkControl}) local.sim.userKey(vk, false);
    });
    local.sim.userClick(MainWindow::kRunButton);
    local.sim.runPending();
    const bool keeps = std::string(wheel) == "On";
    EXPECT_EQ(afterWheel, keeps) << wheel;
    EXPECT_EQ(countAfterWheel > 0, keeps) << wheel << ": the wheel restarts the count only when it shows";
    EXPECT_FALSE(afterClick) << wheel;
  }
}

TEST_F(Choices, NothingIsHiddenInFrontOfAListedProgram) {
  d.store("Never Hide In", "mstsc.exe|Notepad.exe");
  d.store("Hide While Typing", "On");
  d.sim.foreground = "NOTEPAD.EXE";
  d.start();
  bool hiddenByKey = true, hiddenInNotepad = true, hiddenElsewhere = false, afterNotepadCame = true;
  d.sim.at(kRunning, [&] { d.tap(0x48); });
  d.sim.at(kRunning + 1, [&] { hiddenByKey = d.cursorHidden(); });
  d.sim.at(kHiddenAt + 500, [&] { hiddenInNotepad = d.cursorHidden(); });
  d.sim.at(kHiddenAt + 600, [&] { d.sim.bringToFront("winword.exe"); });
  d.sim.at(kHiddenAt + 3700, [&] { hiddenElsewhere = d.cursorHidden(); });
  // Alt+Tab to a listed program: back at once, not at the next tick.
  d.sim.at(kHiddenAt + 3800, [&] { d.sim.bringToFront("notepad.exe"); });
  d.sim.at(kHiddenAt + 3801, [&] { afterNotepadCame = d.cursorHidden(); });
  runUntil(kHiddenAt + 3900);
  EXPECT_FALSE(hiddenByKey) << "typing hides nothing in front of Notepad";
  EXPECT_FALSE(hiddenInNotepad) << "nor does rest";
  EXPECT_TRUE(hiddenElsewhere) << "the count started when Word came to the front";
  EXPECT_FALSE(afterNotepadCame);
  EXPECT_FALSE(d.sim.foregroundWatched) << "watched only during a run";
}

// A Store app shows in a frame of ApplicationFrameHost.exe: the app inside is
// what the user sees, and what a list names.
TEST(ProgramInFrontTest, AStoreAppsFrameCountsAsTheAppItShows) {
  const struct {
    const char* front;
    std::vector<std::string> children;
    const char* seen;
  } cases[] = {
      {"ApplicationFrameHost.exe", {"CalculatorApp.exe"}, "CalculatorApp.exe"},
      {"applicationframehost.exe", {"Photos.exe", "Other.exe"}, "Photos.exe"},
      {"ApplicationFrameHost.exe", {}, "ApplicationFrameHost.exe"},  // an app still starting
      {"notepad.exe", {"helper.exe"}, "notepad.exe"},                // its own children are its own
  };
  for (const auto& c : cases) {
    sim::SimDesktop sim;
    sim.foreground = c.front;
    sim.foregroundChildren = c.children;
    EXPECT_EQ(ProgramInFront(sim, sim), c.seen) << c.front;
  }
}

TEST(FullScreen, TheShellOrAWindowCoveringItsMonitorFillsTheScreen) {
  const struct {
    ScreenUse use;
    bool fills;
  } cases[] = {
      {{ShellState::Normal, false, false}, false},
      {{ShellState::FullScreenDirect3D, false, false}, true},
      {{ShellState::Presentation, false, false}, true},
      {{ShellState::Busy, false, false}, true},
      {{ShellState::Normal, true, false}, true},
      {{ShellState::Normal, true, true}, false},  // the desktop behind every window
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FillsScreen(c.use), c.fills) << static_cast<int>(c.use.shell) << c.use.coversMonitor;
  }
}

// A program filling the screen keeps the pointer, as a listed program does;
// "hide only in" turns the list round. Each: what rest does in front of
// the first program, and whether the pointer comes back at once when the
// second comes to the front.
TEST(ProgramRules, FullScreenAndHideOnlyKeepThePointerWhereTheySay) {
  const ScreenUse full{ShellState::Normal, true, false};
  const struct {
    const char* what;
    const char* fullScreen;
    const char* hideOnly;
    bool hiddenInFirst;  // winword.exe, full screen or not as the case says
    bool firstIsFull;
    bool hiddenAfterSecond;  // notepad.exe, not full screen
  } cases[] = {
      {"full screen kept", "On", "Off", false, true, true},
      {"full screen off", "Off", "Off", true, true, true},
      {"hide only in Notepad", "Off", "On", false, false, true},
      {"never in Notepad", "Off", "Off", true, false, false},
  };
  for (const auto& c : cases) {
    Desktop local;
    local.store("Never Hide In Full Screen", c.fullScreen);
    local.store("Hide Only In Listed", c.hideOnly);
    local.store("Never Hide In", std::string(c.hideOnly) == "On" || !c.firstIsFull ? "notepad.exe" : "");
    local.sim.foreground = "winword.exe";
    if (c.firstIsFull) local.sim.foregroundScreen = full;
    local.start();
    bool hiddenInFirst = !c.hiddenInFirst, hiddenAfterSecond = !c.hiddenAfterSecond, backAtOnce = false;
    local.sim.at(kHiddenAt + 500, [&] { hiddenInFirst = local.cursorHidden(); });
    local.sim.at(kHiddenAt + 600, [&] {
      local.sim.foregroundScreen = {};
      local.sim.bringToFront("notepad.exe");
    });
    local.sim.at(kHiddenAt + 601, [&] { backAtOnce = !local.cursorHidden(); });
    local.sim.at(kHiddenAt + 3700, [&] { hiddenAfterSecond = local.cursorHidden(); });
    local.sim.at(kHiddenAt + 3800, [&] { local.chord({kVkControl, kVkShift}, kVkS); });
    local.sim.userClick(MainWindow::kRunButton);
    local.sim.runPending();
    EXPECT_EQ(hiddenInFirst, c.hiddenInFirst) << c.what;
    EXPECT_EQ(hiddenAfterSecond, c.hiddenAfterSecond) << c.what;
    if (hiddenInFirst && !c.hiddenAfterSecond) {
      EXPECT_TRUE(backAtOnce) << c.what << ": back when it came";
    }
  }
}

TEST_F(Choices, StartHidingBeginsARunAfterTheStartUp) {
  for (const char* minimised : {"Off", "On"}) {
    Desktop local;
    local.sim.setRegValue(kStore, "Start Hiding", {kRegSz, "On"});
    local.sim.setRegValue(kStore, "Windows Startup", {kRegSz, minimised});
    local.sim.setRegValue(kStore, "Minimized", {kRegSz, minimised});
    local.sim.setRegValue(kStore, "Path", {kRegSz, "2"});
    MainWindow& f = local.start();
    bool running = false, inTray = false, hiddenAfterTwoSeconds = false;
    local.sim.at(5500, [&] {
      running = f.runButton.caption() == kStopCaption && f.run.tickTimer().enabled();
      inTray = !local.sim.windowVisible() && f.tray.hiddenInTray();
    });
    local.sim.at(7100, [&] { hiddenAfterTwoSeconds = local.sim.systemCursorsHidden; });
    local.sim.at(7200, [&] {
      for (int vk : {kVkControl, kVkShift, kVkS}) local.sim.userKey(vk, true);
      for (int vk : {kVkS, kVkShift, kVkControl}) local.sim.userKey(vk, false);
    });
    local.sim.advance(8000);
    EXPECT_TRUE(running) << "Minimized " << minimised;
    EXPECT_TRUE(inTray) << "Minimized " << minimised;
    EXPECT_TRUE(hiddenAfterTwoSeconds) << "Minimized " << minimised << ": after the stored 2 seconds";
    const auto balloons = std::count_if(local.sim.shellRequests.begin(), local.sim.shellRequests.end(),
                                        [](const auto& r) { return !r.data.info.empty(); });
    EXPECT_EQ(balloons, 1) << "Minimized " << minimised << ": the tray's balloon once, as ever";
  }
}

struct OptionsDialog : Choices {
  MainWindow* f = nullptr;
  void SetUp() override { f = &d.start(); }
  void openWith(std::function<void(sim::SimOptionsDialog&)> user) {
    d.sim.useOptionsDialog = std::move(user);
    d.sim.userMenuCommand(SystemMenu::kOptionsMenuItem);
    d.sim.runPending();
  }
};

TEST_F(OptionsDialog, TheSystemMenuOffersOptionsAndAbout) {
  ASSERT_EQ(d.sim.systemMenu.size(), 2u);
  EXPECT_EQ(d.sim.systemMenu[0].text, "Options...");
  EXPECT_EQ(d.sim.systemMenu[1].text, "About Pellucor...");
  d.sim.userMenuCommand(SystemMenu::kAboutMenuItem);
  d.sim.runPending();
  ASSERT_EQ(d.sim.boxes.size(), 1u);
  EXPECT_EQ(d.sim.boxes[0].caption, "About Pellucor");
  EXPECT_THAT(d.sim.boxes[0].text, ::testing::HasSubstr("Pellucor 1.0.0"));
  EXPECT_THAT(d.sim.boxes[0].text, ::testing::HasSubstr("Copyright (c) 2026 Trandavel"));
  EXPECT_THAT(d.sim.boxes[0].text, ::testing::HasSubstr("MIT License"));
}

TEST_F(OptionsDialog, OkStoresWhatChangedCancelNothing) {
  openWith([](sim::SimOptionsDialog& dialog) {
    dialog.fields.hideWhileTyping = true;
    dialog.fields.ignoredPixels = "12";
    dialog.pressCancel();
  });
  EXPECT_TRUE(d.logOf({"writeSetting"}).empty());
  EXPECT_FALSE(f->choices.options().hideWhileTyping);

  openWith([](sim::SimOptionsDialog& dialog) {
    EXPECT_EQ(dialog.fields.ignoredPixels, "0") << "the stored choice, shown";
    dialog.fields.hideWhileTyping = true;
    dialog.fields.ignoredPixels = " 12 ";
    dialog.fields.programs = "  C:\\Program Files\\Game\\Game.exe \r\n\r\nmstsc.exe\r\nGAME.EXE\r\nМой редактор.exe";
    EXPECT_TRUE(dialog.pressOk());
  });
  EXPECT_THAT(d.logOf({"writeSetting"}),
              ElementsAre("writeSetting Hide While Typing On", "writeSetting Ignored Movement Pixels 12",
                          "writeSetting Never Hide In Game.exe|mstsc.exe|Мой редактор.exe"));
  EXPECT_EQ(f->choices.options().ignoredPixels, 12);
  EXPECT_THAT(f->choices.options().neverHideIn, ElementsAre("Game.exe", "mstsc.exe", "Мой редактор.exe"));

  // What was stored comes back at the next start, as it was.
  Desktop again;
  again.sim.registry = d.sim.registry;
  EXPECT_EQ(again.start().choices.options(), f->choices.options());
}

TEST_F(OptionsDialog, ARefusedFieldKeepsItsTextAndNothingIsStoredUntilOkSucceeds) {
  const char* const refused[] = {"51", "-1", "2.5", "abc", "", "1e1", "999"};
  for (const char* text : refused) {
    openWith([&](sim::SimOptionsDialog& dialog) {
      dialog.fields.startHiding = true;
      dialog.fields.ignoredPixels = text;
      EXPECT_FALSE(dialog.pressOk()) << '"' << text << '"';
      EXPECT_EQ(dialog.focus, OptionsField::IgnoredPixels);
      EXPECT_EQ(dialog.fields.ignoredPixels, text) << "the text is kept";
      dialog.pressCancel();
    });
  }
  EXPECT_TRUE(d.logOf({"writeSetting"}).empty());
  ASSERT_EQ(d.sim.boxes.size(), std::size(refused));
  EXPECT_EQ(d.sim.boxes[0].text, "The number of pixels must be a whole number from 0 to 50.");
  EXPECT_EQ(d.sim.boxes[0].caption, "Pellucor");

  openWith([](sim::SimOptionsDialog& dialog) {
    dialog.fields.programs = "good.exe\r\nbad|name.exe";
    EXPECT_FALSE(dialog.pressOk());
    EXPECT_EQ(dialog.focus, OptionsField::Programs);
    dialog.fields.programs = "good.exe";
    dialog.fields.ignoredPixels = "50";
    EXPECT_TRUE(dialog.pressOk());
  });
  EXPECT_EQ(d.stored("Ignored Movement Pixels"), "50");
  EXPECT_EQ(d.stored("Never Hide In"), "good.exe");
}

// A value the program does not understand reads as its default and stays as
// it was until the user changes that choice.
TEST_F(Choices, StoredValuesNotUnderstoodReadAsDefaultsAndAreNotRewritten) {
  d.store("Hide While Typing", "yes");
  d.store("Ignored Movement Pixels", "75");
  d.store("Never Hide In", "a.exe|b<c.exe||A.EXE");
  MainWindow& f = d.start();
  EXPECT_FALSE(f.choices.options().hideWhileTyping);
  EXPECT_EQ(f.choices.options().ignoredPixels, 0);
  EXPECT_THAT(f.choices.options().neverHideIn, ElementsAre("a.exe"));
  d.sim.useOptionsDialog = [](sim::SimOptionsDialog& dialog) {
    dialog.fields.wheelKeepsHidden = true;
    dialog.pressOk();
  };
  d.sim.userMenuCommand(SystemMenu::kOptionsMenuItem);
  d.sim.runPending();
  EXPECT_EQ(d.stored("Hide While Typing"), "yes");
  EXPECT_EQ(d.stored("Ignored Movement Pixels"), "75");
  EXPECT_EQ(d.stored("Never Hide In"), "a.exe|b<c.exe||A.EXE");
  EXPECT_EQ(d.stored("Wheel Keeps Hidden"), "On");
}

}  // namespace
}  // namespace pellucor::test
