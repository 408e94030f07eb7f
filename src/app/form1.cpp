#include "app/form1.h"

#include <cmath>

#include "app/app_title.h"
#include "app/file_exists.h"
#include "hider/mod_keyboard.h"
#include "settings/settings.h"

namespace pellucor {
namespace {

constexpr const char* kText1Design = "3";
constexpr unsigned kTimer1DesignInterval = 3000;
// Explorer may take its time at logon; past this, the window comes back.
constexpr unsigned kTrayWatchMs = 10000;

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
  add(Form1::kFrame1, "Frame1", ControlKind::Frame, kWindow, {120, 90, 7800, 825},
      "How many seconds does mouse need to stop moving before hiding?", 2);
  ControlSpec& text =
      add(Form1::kText1, "Text1", ControlKind::TextField, Form1::kFrame1, {240, 300, 7290, 345}, kText1Design, 0);
  text.back = kSysWindow;
  add(Form1::kFrame2, "Frame2", ControlKind::Frame, kWindow, {120, 970, 7800, 735}, "Startup Options", 3);
  add(Form1::kCheck4, "Check4", ControlKind::CheckBox, Form1::kFrame2, {240, 300, 3930, 285},
      "Load this software on Windows startup", 4);
  add(Form1::kCheck8, "Check8", ControlKind::CheckBox, Form1::kFrame2, {4320, 300, 2580, 285},
      "Minimized to system tray", 5)
      .visible = false;
  ControlSpec& button = add(Form1::kPushButton2, "PushButton2", ControlKind::PushButton, kWindow,
                            {120, 1820, 7800, 405}, kStartCaption, 1);
  button.font = ButtonFont();
  button.fore = kSysButtonText;
  return c;
}

}  // namespace

Form1::Form1(Platform& platform)
    : Frame1(platform, kFrame1),
      Text1(platform, kText1, kText1Design),
      Frame2(platform, kFrame2),
      Check4(platform, kCheck4),
      Check8(platform, kCheck8),
      PushButton2(platform, kPushButton2),
      Timer1(platform, kTimer1, kTimer1DesignInterval),
      TrayWatch(platform, kTrayWatch, kTrayWatchMs),
      cSysTray1(platform, *this),
      SkinFramework1(platform),
      Mouse(platform),
      platform_(platform),
      specs_(DesignedControls()) {}

void Form1::create() {
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
  cSysTray1.ReadProperties(stored);
  cSysTray1.MouseUp = [this](std::int16_t button, std::int32_t id) { cSysTray1_MouseUp(button, id); };
  Timer1.onTimer = [this] { Timer1_Timer(); };
  TrayWatch.onTimer = [this] { TrayWatch_Timer(); };
  Text1.onChange = [this] { Text1_Change(); };
  Text1.onGotFocus = [this] { Text1_GotFocus(); };
  Text1.onLostFocus = [this] { Text1_LostFocus(); };
  Check4.onClick = [this] { Check4_Click(); };
  Check8.onClick = [this] { Check8_Click(); };
  // A copy that was killed may have left the system cursors blank.
  Mouse.RepairSystemCursors();
  Form_Load();
}

void Form1::show() { platform_.showForm(platform_.windowState()); }

void Form1::Form_Load() {
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
  g.step(128, [&] { Text1.setText(std::to_string(3)); });
  g.step(130, [&] { Check4.setValue(ReadSetting(platform_, kKeyWindowsStartup, "Off") == "On" ? 1 : 0); });
  g.step(132, [&] { Check8.setValue(ReadSetting(platform_, kKeyMinimized, "Off") == "On" ? 1 : 0); });
  if (g.test(134, [&] { return Check4.value() == 1; })) {
    g.step(136, [&] { Check8.setVisible(true); });
    if (g.test(138, [&] { return Check8.value() == 1; })) {
      g.step(140, [&] { platform_.setWindowState(WindowState::Minimised); });
    }
  } else {
    g.step(142, [&] { Check8.setVisible(false); });
  }
  g.step(144, [&] { cSysTray1.setTrayTip(kProductTitle); });
  g.step(144, [&] { platform_.setWindowIcon(); });
  g.step(146, [&] { cSysTray1.setInTray(true); });
  g.step(148, [&] { modKeyboard::InstallKeyboardHook(platform_); });
  g.step(150, [] {});
}

void Form1::ApplySkin() {
  const std::string path = programFile(kSkinFile);
  if (platform_.listFiles(path).empty()) return;
  platform_.setBackColour(kWindow, kSysButtonFace);
  for (const ControlSpec& design : specs_) {
    if (design.kind == ControlKind::CheckBox || design.kind == ControlKind::Frame) {
      platform_.setBackColour(design.id, kSysButtonFace);
    }
  }
  SkinFramework1.Invoke(SkinFramework::kLoadSkin, InvokeKind::Method, {path, std::string()});
  const std::int32_t options = VariantToLong(SkinFramework1.Invoke(SkinFramework::kOptions, InvokeKind::PropertyGet));
  SkinFramework1.Invoke(SkinFramework::kOptions, InvokeKind::PropertyPut, {options | 1});
  SkinFramework1.Invoke(SkinFramework::kApplyColors, InvokeKind::PropertyPut, {true});
  SkinFramework1.Invoke(SkinFramework::kApplyTextColors, InvokeKind::PropertyPut, {true});
  SkinFramework1.Invoke(SkinFramework::kApplyWindow, InvokeKind::Method,
                        {static_cast<std::int32_t>(platform_.windowHandle())});
}

void Form1::SetAppTitle() { appTitle_ = ShortenTitle(kProductTitle); }

void Form1::onUserClick(ControlId id) {
  switch (id) {
    case kPushButton2:
      PushButton2_Click();
      break;
    case kCheck4:
      Check4.userClicked();
      break;
    case kCheck8:
      Check8.userClicked();
      break;
    default:
      break;
  }
}

void Form1::onUserTextChange(ControlId id) {
  if (id == kText1) Text1.userEdited();
}

void Form1::onFocusGained(ControlId id) {
  if (id == kText1 && Text1.onGotFocus) Text1.onGotFocus();
}

void Form1::onFocusLost(ControlId id) {
  if (id == kText1 && Text1.onLostFocus) Text1.onLostFocus();
}

// The hand shows over the run button only; the bare window and the frames
// put the ordinary pointer back. The field and the check boxes leave it be.
void Form1::onMouseMove(ControlId id) {
  if (id == kPushButton2) {
    setMousePointer(MousePointer::Custom);
  } else if (id == kWindow || id == kFrame1 || id == kFrame2) {
    setMousePointer(MousePointer::Default);
  }
}

void Form1::setMousePointer(MousePointer pointer) {
  if (pointer == mousePointer_) return;
  mousePointer_ = pointer;
  platform_.setMousePointer(pointer, mouseIcon_);
}

void Form1::onResize() { Form_Resize(); }

void Form1::onCloseRequest() {
  Form_QueryUnload();
  Form_Unload();
}

void Form1::onTimer(int timerId) {
  if (timerId == kTimer1 && Timer1.onTimer) Timer1.onTimer();
  if (timerId == kTrayWatch && TrayWatch.onTimer) TrayWatch.onTimer();
}

void Form1::onMouseInput() { Mouse_Input(); }

void Form1::onStopKey() { StopKey_Pressed(); }

// Unlocking and waking are when a hook is found dropped: the hot key must
// work at once, not only from the next run.
void Form1::onSessionResumed() { modKeyboard::ReinstallKeyboardHook(platform_); }

void Form1::Form_QueryUnload() {
  // A tick dispatched by the message processing below must not hide the
  // cursor again: the blank system cursors would outlive the process.
  Timer1.setEnabled(false);
  TrayWatch.setEnabled(false);
  Mouse.RevealCursor();
  cSysTray1.setInTray(false);
  modKeyboard::RemoveKeyboardHook(platform_);
  platform_.processPendingMessages();
  platform_.processPendingMessages();
}

void Form1::Form_Unload() { platform_.endProcess(0); }

}  // namespace pellucor
