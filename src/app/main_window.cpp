#include "app/main_window.h"

#include <algorithm>
#include <cmath>

#include "app/file_exists.h"
#include "common/app_title.h"

namespace pellucor {
namespace {

constexpr const char* kIdleSecondsDesignText = "3";

// Arial as designed; a language whose script Arial lacks names a font of
// its own, taken in whatever character set holds the text.
FontSpec WindowFont(const Texts& texts, double points = 9.0) {
  const std::string face = texts.textFor(IDS_WINDOW_FONT);
  if (face.empty() || face == "Arial") return {"Arial", points, 700, 204};
  return {face, points, 700, 1};
}
FontSpec ButtonFont(const Texts& texts) { return WindowFont(texts, 11.25); }

// Room around a text inside its control, in twips: a frame's caption sits
// in from its edges, a check box's text after the box.
constexpr int kFrameCaptionRoom = 480;
constexpr int kCheckBoxRoom = 360;
constexpr int kButtonRoom = 360;
constexpr int kDesignedWidth = 8040;

// Wider for texts that do not fit as designed: a longer language widens the
// window, and every control that spans it, by what its longest text needs.
// English fits as designed and changes nothing.
int FitToTexts(std::vector<ControlSpec>& controls, Window& measure) {
  const auto design = [&](ControlId id) -> ControlSpec& {
    return *std::find_if(controls.begin(), controls.end(), [id](const ControlSpec& c) { return c.id == id; });
  };
  const auto need = [&](ControlId id, int room) {
    return measure.textWidthTwips(design(id).font, design(id).caption) + room;
  };
  ControlSpec& startWith = design(MainWindow::kStartWithWindowsBox);
  ControlSpec& minimised = design(MainWindow::kStartMinimisedBox);
  startWith.rect.width = std::max(startWith.rect.width, need(MainWindow::kStartWithWindowsBox, kCheckBoxRoom));
  minimised.rect.left = std::max(minimised.rect.left, startWith.rect.left + startWith.rect.width + 150);
  minimised.rect.width = std::max(minimised.rect.width, need(MainWindow::kStartMinimisedBox, kCheckBoxRoom));
  const int spanned = design(MainWindow::kRunButton).rect.width;
  const int wanted =
      std::max({spanned, need(MainWindow::kIdleSecondsFrame, kFrameCaptionRoom),
                need(MainWindow::kStartupFrame, kFrameCaptionRoom), need(MainWindow::kRunButton, kButtonRoom),
                minimised.rect.left + minimised.rect.width + 240});
  const int grow = wanted - spanned;
  if (grow <= 0) return kDesignedWidth;
  for (const ControlId id : {MainWindow::kIdleSecondsFrame, MainWindow::kIdleSecondsField, MainWindow::kStartupFrame,
                             MainWindow::kRunButton})
    design(id).rect.width += grow;
  return kDesignedWidth + grow;
}

std::vector<ControlSpec> DesignedControls(const Texts& texts) {
  std::vector<ControlSpec> c;
  const auto add = [&](ControlId id, const char* name, ControlKind kind, ControlId container, TwipsRect rect,
                       std::string caption, int tab) -> ControlSpec& {
    ControlSpec design;
    design.id = id;
    design.name = name;
    design.kind = kind;
    design.container = container;
    design.rect = rect;
    design.caption = std::move(caption);
    design.font = WindowFont(texts);
    design.tabIndex = tab;
    return c.emplace_back(std::move(design));
  };
  add(MainWindow::kIdleSecondsFrame, "Frame1", ControlKind::Frame, kWindow, {120, 90, 7800, 825},
      texts.textFor(IDS_SECONDS_FRAME), 2);
  ControlSpec& text = add(MainWindow::kIdleSecondsField, "Text1", ControlKind::TextField, MainWindow::kIdleSecondsFrame,
                          {240, 300, 7290, 345}, kIdleSecondsDesignText, 0);
  text.back = kSysWindow;
  // The question it answers is its frame's caption.
  text.accessibleName = texts.textFor(IDS_SECONDS_FRAME);
  add(MainWindow::kStartupFrame, "Frame2", ControlKind::Frame, kWindow, {120, 970, 7800, 735},
      texts.textFor(IDS_STARTUP_FRAME), 3);
  add(MainWindow::kStartWithWindowsBox, "Check4", ControlKind::CheckBox, MainWindow::kStartupFrame,
      {240, 300, 3930, 285}, texts.textFor(IDS_START_WITH_WINDOWS), 4);
  add(MainWindow::kStartMinimisedBox, "Check8", ControlKind::CheckBox, MainWindow::kStartupFrame,
      {4320, 300, 2580, 285}, texts.textFor(IDS_START_MINIMISED), 5)
      .visible = false;
  ControlSpec& button = add(MainWindow::kRunButton, "PushButton2", ControlKind::PushButton, kWindow,
                            {120, 1820, 7800, 405}, RunButtonCaption(false, kDefaultStopKey, texts), 1);
  button.font = ButtonFont(texts);
  button.fore = kSysButtonText;
  return c;
}

}  // namespace

MainWindow::MainWindow(Platform& platform)
    : platform_(platform),
      specs_(DesignedControls(platform)),
      idleSecondsFrame(platform, kIdleSecondsFrame),
      idleSecondsField(platform, kIdleSecondsField, kIdleSecondsDesignText),
      startupFrame(platform, kStartupFrame),
      startWithWindowsBox(platform, kStartWithWindowsBox),
      startMinimisedBox(platform, kStartMinimisedBox),
      runButton(platform, kRunButton),
      skin(platform, platform),
      tray(platform, platform, platform, platform, platform),
      run(platform, platform, platform, platform, platform, platform, platform, platform, platform, tray),
      settings(platform, platform, platform, platform, platform, platform, run, idleSecondsField, startWithWindowsBox,
               startMinimisedBox, appTitle_),
      choices(platform, platform, run, settings),
      menu(platform, platform, platform, platform, choices, appTitle_),
      commands(platform, platform, run, settings, choices, tray, [this] { onCloseRequest(); }) {
  run.setObserver(this);
  run.setStepObserver(&stepObserver_);
}

void MainWindow::create() {
  WindowSpec window;
  window.caption = "Form1";
  window.clientWidthTwips = FitToTexts(specs_, platform_);
  window.clientHeightTwips = 2325;
  window.back = kWhite;
  window.font = WindowFont(platform_);
  platform_.createForm(window, specs_, *this);
  // Each part hears what is its own.
  platform_.reportInputTo(&run);
  platform_.reportPolicyChangesTo(&choices);
  platform_.receiveCommandsWith(&commands);
  // A plain start reaches an elevated copy only through an open door; a
  // plain copy keeps it shut, so that no sandboxed program can stop a run,
  // close the program or store seconds.
  if (platform_.runsElevated()) platform_.acceptCommandsFromLowerRights();
  // An installer that replaces the program's file closes it and starts it
  // again; until a run begins, as a plain start.
  platform_.registerForRestart("");
  tray.create();
  // A copy that was killed may have left the system cursors blank.
  run.repairSystemCursors();
  choices.readStored();
  menu.addItems();
  onLoad();
  choices.applyPolicies();
}

void MainWindow::show() {
  platform_.showForm(platform_.windowState());
  run.armHideKey();
  if (choices.options().startHiding) run.startSoon();
}

std::string RunButtonCaption(bool running, const KeyChord& stopKey, const Texts& texts) {
  return FillIn(texts.textFor(running ? IDS_RUN_STOP : IDS_RUN_START), {ChordCaption(stopKey, texts)});
}

void MainWindow::onHideKeyRefused(const KeyChord& chord) {
  platform_.messageBox(FillIn(platform_.textFor(IDS_HIDE_KEY_TAKEN), {ChordCaption(chord, platform_)}), appTitle_,
                       kErrorBoxStyle);
}

void MainWindow::onLoad() {
  Guard g(platform_, platform_, kLoadLocation, &stepObserver_);
  g.step(100, [&] { applySkin(); });
  const std::string handCursor = platform_.programFolder() + kHandCursorFile;
  if (g.test(102, [&] { return FileExists(platform_, handCursor); })) {
    g.step(104, [&] { mouseIcon_ = platform_.loadCursorFile(handCursor); });
  }
  g.step(106, [&] {
    platform_.seedRandom(platform_.secondsSinceMidnight());
    const int draw = static_cast<int>(std::floor(platform_.nextRandom() * 100)) + 1;
    if (draw == 7) {
      // By full path: an explorer.exe beside the program must not be the one that runs.
      std::string command = "\"";
      command += platform_.windowsFolder();
      command += "\\explorer.exe\" \"";
      command += kHomePage;
      command += '"';
      platform_.startProcess(command, ShowMode::MinimisedFocus);
    }
  });
  g.step(126, [&] { platform_.setText(kWindow, kProductTitle); });
  g.step(126, [&] { platform_.setWindowIcon(); });
  g.step(126, [&] { appTitle_ = ShortenTitle(kProductTitle); });
  g.step(128, [&] { settings.showRememberedSeconds(); });
  g.step(130, [&] { settings.readStartWithWindows(); });
  g.step(132, [&] { settings.readStartMinimised(); });
  if (g.test(134, [&] { return startWithWindowsBox.value() == 1; })) {
    g.step(136, [&] { startMinimisedBox.setVisible(true); });
    if (g.test(138, [&] { return startMinimisedBox.value() == 1; })) {
      g.step(140, [&] { platform_.setWindowState(WindowState::Minimised); });
    }
  } else {
    g.step(142, [&] { startMinimisedBox.setVisible(false); });
  }
  g.step(144, [&] { tray.trayIcon.setTrayTip(kProductTitle); });
  g.step(144, [&] { platform_.setWindowIcon(); });
  g.step(146, [&] { tray.trayIcon.setInTray(true); });
  // The keyboard hook comes with each run: a start needs no input thread.
  g.step(148, [] {});
  g.step(150, [] {});
}

// Under high contrast the skin is loaded but its colours wait until the
// theme goes: the system's colours are the ones the user can read.
void MainWindow::applySkin() {
  const std::string path = platform_.programFolder() + kSkinFile;
  const bool contrast = platform_.highContrast();
  if (contrast) paintColours();
  if (platform_.listFiles(path).empty()) return;
  if (!contrast) paintSkinBase();
  skin.Invoke(SkinEngine::kLoadSkin, InvokeKind::Method, {path, std::string()});
  const std::int32_t options = VariantToLong(skin.Invoke(SkinEngine::kOptions, InvokeKind::PropertyGet));
  skin.Invoke(SkinEngine::kOptions, InvokeKind::PropertyPut, {options | 1});
  skin.Invoke(SkinEngine::kApplyColors, InvokeKind::PropertyPut, {true});
  skin.Invoke(SkinEngine::kApplyTextColors, InvokeKind::PropertyPut, {true});
  if (!contrast) {
    skin.Invoke(SkinEngine::kApplyWindow, InvokeKind::Method, {static_cast<std::int32_t>(platform_.windowHandle())});
  }
}

// The skin paints over the button face, which the frames and check boxes take.
void MainWindow::paintSkinBase() {
  platform_.setBackColour(kWindow, kSysButtonFace);
  for (const ControlSpec& design : specs_) {
    if (design.kind == ControlKind::CheckBox || design.kind == ControlKind::Frame) {
      platform_.setBackColour(design.id, kSysButtonFace);
    }
  }
}

// The system's colours under high contrast; otherwise the designed ones,
// and the skin's over them when there is one.
void MainWindow::paintColours() {
  const bool contrast = platform_.highContrast();
  platform_.setBackColour(kWindow, contrast ? kSysButtonFace : kWhite);
  for (const ControlSpec& design : specs_) {
    const bool field = design.kind == ControlKind::TextField;
    platform_.setBackColour(design.id, contrast ? (field ? kSysWindow : kSysButtonFace) : design.back);
    platform_.setForeColour(design.id, contrast ? (field ? kSysWindowText : kSysButtonText) : design.fore);
  }
  if (contrast || !skin.loaded()) return;
  paintSkinBase();
  skin.Invoke(SkinEngine::kApplyWindow, InvokeKind::Method, {static_cast<std::int32_t>(platform_.windowHandle())});
}

void MainWindow::onRunChanged() {
  runButton.setCaption(RunButtonCaption(run.running(), run.stopKey(), platform_));
  platform_.registerForRestart(run.running() ? kResumeRunArguments : "");
}

void MainWindow::onUserClick(ControlId id) {
  switch (id) {
    case kRunButton:
      run.startOrStop();
      break;
    case kStartWithWindowsBox:
      startWithWindowsBox.userClicked();
      break;
    case kStartMinimisedBox:
      startMinimisedBox.userClicked();
      break;
    default:
      break;
  }
}

void MainWindow::onUserTextChange(ControlId id) {
  if (id == kIdleSecondsField) idleSecondsField.userEdited();
}

void MainWindow::onFocusGained(ControlId id) {
  if (id == kIdleSecondsField && idleSecondsField.onGotFocus) idleSecondsField.onGotFocus();
}

void MainWindow::onFocusLost(ControlId id) {
  if (id == kIdleSecondsField && idleSecondsField.onLostFocus) idleSecondsField.onLostFocus();
}

// The hand shows over the run button only; the bare window and the frames
// put the ordinary pointer back. The field and the check boxes leave it be.
void MainWindow::onMouseMove(ControlId id) {
  if (id == kRunButton) {
    setMousePointer(MousePointer::Custom);
  } else if (id == kWindow || id == kIdleSecondsFrame || id == kStartupFrame) {
    setMousePointer(MousePointer::Default);
  }
}

void MainWindow::setMousePointer(MousePointer pointer) {
  if (pointer == mousePointer_) return;
  mousePointer_ = pointer;
  platform_.setMousePointer(pointer, mouseIcon_);
}

// Everything that would outlive the process is put back, in the order it was
// taken: the cursor shown, the tray icon removed, the keyboard hook removed;
// then what they left in the queue is handled, and the process ends.
void MainWindow::onCloseRequest() {
  run.putBack();
  tray.leave();
  run.removeKeyboardHook();
  platform_.processPendingMessages();
  platform_.processPendingMessages();
  platform_.endProcess(0);
}

}  // namespace pellucor
