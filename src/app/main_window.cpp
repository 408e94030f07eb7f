#include "app/main_window.h"

#include <cmath>

#include "app/app_title.h"
#include "app/file_exists.h"
#include "hider/hot_key.h"
#include "platform/failure.h"
#include "settings/settings.h"

namespace pellucor {
namespace {

constexpr const char* kIdleSecondsDesignText = "3";
constexpr unsigned kTickDesignInterval = 3000;
// Explorer may take its time at logon; past this, the window comes back.
constexpr unsigned kTrayWatchMs = 10000;
// As soon as the message loop runs.
constexpr unsigned kStartRunMs = 1;

FontSpec WindowFont() { return {"Arial", 9.0, 700, 204}; }
FontSpec ButtonFont() { return {"Arial", 11.25, 700, 204}; }

std::vector<ControlSpec> DesignedControls() {
  std::vector<ControlSpec> c;
  const auto add = [&](ControlId id, const char* name, ControlKind kind, ControlId container, TwipsRect rect,
                       const char* caption, int tab) -> ControlSpec& {
    ControlSpec design;
    design.id = id;
    design.name = name;
    design.kind = kind;
    design.container = container;
    design.rect = rect;
    design.caption = caption;
    design.font = WindowFont();
    design.tabIndex = tab;
    return c.emplace_back(std::move(design));
  };
  add(MainWindow::kIdleSecondsFrame, "Frame1", ControlKind::Frame, kWindow, {120, 90, 7800, 825},
      "How many seconds does mouse need to stop moving before hiding?", 2);
  ControlSpec& text = add(MainWindow::kIdleSecondsField, "Text1", ControlKind::TextField, MainWindow::kIdleSecondsFrame,
                          {240, 300, 7290, 345}, kIdleSecondsDesignText, 0);
  text.back = kSysWindow;
  add(MainWindow::kStartupFrame, "Frame2", ControlKind::Frame, kWindow, {120, 970, 7800, 735}, "Startup Options", 3);
  add(MainWindow::kStartWithWindowsBox, "Check4", ControlKind::CheckBox, MainWindow::kStartupFrame,
      {240, 300, 3930, 285}, "Load this software on Windows startup", 4);
  add(MainWindow::kStartMinimisedBox, "Check8", ControlKind::CheckBox, MainWindow::kStartupFrame,
      {4320, 300, 2580, 285}, "Minimized to system tray", 5)
      .visible = false;
  ControlSpec& button = add(MainWindow::kRunButton, "PushButton2", ControlKind::PushButton, kWindow,
                            {120, 1820, 7800, 405}, kStartCaption, 1);
  button.font = ButtonFont();
  button.fore = kSysButtonText;
  return c;
}

}  // namespace

MainWindow::MainWindow(Platform& platform)
    : idleSecondsFrame(platform, kIdleSecondsFrame),
      idleSecondsField(platform, kIdleSecondsField, kIdleSecondsDesignText),
      startupFrame(platform, kStartupFrame),
      startWithWindowsBox(platform, kStartWithWindowsBox),
      startMinimisedBox(platform, kStartMinimisedBox),
      runButton(platform, kRunButton),
      tickTimer(platform, kTickTimer, kTickDesignInterval),
      trayWatchTimer(platform, kTrayWatch, kTrayWatchMs),
      startRunTimer(platform, kStartRunTimer, kStartRunMs),
      closeTimer(platform, kCloseTimer, kStartRunMs),
      trayIcon(platform, platform, platform, *this),
      skin(platform, platform),
      cursorHider(platform, platform, platform),
      platform_(platform),
      specs_(DesignedControls()) {}

void MainWindow::create() {
  WindowSpec window;
  window.caption = "Form1";
  window.clientWidthTwips = 8040;
  window.clientHeightTwips = 2325;
  window.back = kWhite;
  window.font = WindowFont();
  platform_.createForm(window, specs_, *this);
  // The tray control's stored properties: out of the tray, the tray picture,
  // no tip.
  PropertyBag stored;
  stored.booleans["InTray"] = false;
  stored.pictures["TrayIcon"] = std::make_shared<Picture>(Picture{Picture::kIcon, platform_.trayIcon()});
  stored.texts["TrayTip"] = "";
  trayIcon.ReadProperties(stored);
  trayIcon.MouseUp = [this](std::int16_t button, std::int32_t id) { onTrayIconMouseUp(button, id); };
  tickTimer.onTimer = [this] { onTick(); };
  trayWatchTimer.onTimer = [this] { onTrayWatchTick(); };
  startRunTimer.onTimer = [this] { onStartRunTick(); };
  closeTimer.onTimer = [this] {
    closeTimer.setEnabled(false);
    onCloseRequest();
  };
  idleSecondsField.onChange = [this] { onIdleSecondsChange(); };
  idleSecondsField.onGotFocus = [this] { onIdleSecondsFocus(); };
  idleSecondsField.onLostFocus = [this] { onIdleSecondsFocusLost(); };
  startWithWindowsBox.onClick = [this] { onStartWithWindowsClick(); };
  startMinimisedBox.onClick = [this] { onStartMinimisedClick(); };
  // A copy that was killed may have left the system cursors blank.
  cursorHider.RepairSystemCursors();
  storedOptions_ = ReadOptions(platform_, platform_);
  options_ = storedOptions_;
  platform_.addSystemMenuItems({{kOptionsMenuItem, kOptionsMenuText}, {kAboutMenuItem, kAboutMenuText}});
  onLoad();
  ApplyPolicies();
}

void MainWindow::show() {
  platform_.showForm(platform_.windowState());
  if (options_.startHiding) startRunTimer.setEnabled(true);
}

void MainWindow::onStartRunTick() {
  startRunTimer.setEnabled(false);
  if (runButton.caption() == kStartCaption) onRunButtonClick();
}

// The seconds the user chose last time, when the tick would take them; a
// text it would refuse starts the field at 3, as it always did.
std::string MainWindow::RememberedSeconds() {
  const std::string stored = ReadSetting(platform_, kKeyPath, "");
  try {
    platform_.textToInt16(stored);
    return stored;
  } catch (const Failure&) {
    return std::to_string(3);
  }
}

void MainWindow::ShowSeconds(const std::string& seconds) {
  showingStoredSeconds_ = true;
  struct Done {
    bool& flag;
    ~Done() { flag = false; }
  } done{showingStoredSeconds_};
  idleSecondsField.setText(seconds);
}

void MainWindow::onLoad() {
  Guard g = guard(kLoadLocation);
  g.step(100, [&] { ApplySkin(); });
  if (g.test(102, [&] { return FileExists(platform_, programFile(kHandCursorFile)); })) {
    g.step(104, [&] { mouseIcon_ = platform_.loadCursorFile(programFile(kHandCursorFile)); });
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
  g.step(126, [&] { SetAppTitle(); });
  g.step(128, [&] { ShowSeconds(RememberedSeconds()); });
  g.step(130, [&] { startWithWindowsBox.setValue(ReadSetting(platform_, kKeyWindowsStartup, "Off") == "On" ? 1 : 0); });
  g.step(132, [&] { startMinimisedBox.setValue(ReadSetting(platform_, kKeyMinimized, "Off") == "On" ? 1 : 0); });
  if (g.test(134, [&] { return startWithWindowsBox.value() == 1; })) {
    g.step(136, [&] { startMinimisedBox.setVisible(true); });
    if (g.test(138, [&] { return startMinimisedBox.value() == 1; })) {
      g.step(140, [&] { platform_.setWindowState(WindowState::Minimised); });
    }
  } else {
    g.step(142, [&] { startMinimisedBox.setVisible(false); });
  }
  g.step(144, [&] { trayIcon.setTrayTip(kProductTitle); });
  g.step(144, [&] { platform_.setWindowIcon(); });
  g.step(146, [&] { trayIcon.setInTray(true); });
  g.step(148, [&] { hotKey::InstallKeyboardHook(platform_); });
  g.step(150, [] {});
}

void MainWindow::ApplySkin() {
  const std::string path = programFile(kSkinFile);
  if (platform_.listFiles(path).empty()) return;
  platform_.setBackColour(kWindow, kSysButtonFace);
  for (const ControlSpec& design : specs_) {
    if (design.kind == ControlKind::CheckBox || design.kind == ControlKind::Frame) {
      platform_.setBackColour(design.id, kSysButtonFace);
    }
  }
  skin.Invoke(SkinEngine::kLoadSkin, InvokeKind::Method, {path, std::string()});
  const std::int32_t options = VariantToLong(skin.Invoke(SkinEngine::kOptions, InvokeKind::PropertyGet));
  skin.Invoke(SkinEngine::kOptions, InvokeKind::PropertyPut, {options | 1});
  skin.Invoke(SkinEngine::kApplyColors, InvokeKind::PropertyPut, {true});
  skin.Invoke(SkinEngine::kApplyTextColors, InvokeKind::PropertyPut, {true});
  skin.Invoke(SkinEngine::kApplyWindow, InvokeKind::Method, {static_cast<std::int32_t>(platform_.windowHandle())});
}

void MainWindow::SetAppTitle() { appTitle_ = ShortenTitle(kProductTitle); }

void MainWindow::onUserClick(ControlId id) {
  switch (id) {
    case kRunButton:
      onRunButtonClick();
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

void MainWindow::onCloseRequest() {
  putBackBeforeClose();
  endForClose();
}

void MainWindow::onTimer(int timerId) {
  if (timerId == kTickTimer && tickTimer.onTimer) tickTimer.onTimer();
  if (timerId == kTrayWatch && trayWatchTimer.onTimer) trayWatchTimer.onTimer();
  if (timerId == kStartRunTimer && startRunTimer.onTimer) startRunTimer.onTimer();
  if (timerId == kCloseTimer && closeTimer.onTimer) closeTimer.onTimer();
}

// Unlocking and waking are when a hook is found dropped: the hot key must
// work at once, not only from the next run.
void MainWindow::onSessionResumed() { hotKey::ReinstallKeyboardHook(platform_); }

void MainWindow::putBackBeforeClose() {
  // A tick dispatched by the message processing below must not hide the
  // cursor again: the blank system cursors would outlive the process.
  tickTimer.setEnabled(false);
  trayWatchTimer.setEnabled(false);
  startRunTimer.setEnabled(false);
  WatchForRun(false);
  cursorHider.RevealCursor();
  trayIcon.setInTray(false);
  hotKey::RemoveKeyboardHook(platform_);
  platform_.processPendingMessages();
  platform_.processPendingMessages();
}

void MainWindow::endForClose() { platform_.endProcess(0); }

}  // namespace pellucor
