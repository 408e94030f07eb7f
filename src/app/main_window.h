#pragma once

// The main window: its controls and layout, its load and close, the pointer
// over it and its skin, and the parts of the program it brings together.

#include <string>
#include <vector>

#include "app/skin_engine.h"
#include "command/command_handler.h"
#include "common/error_report.h"
#include "hider/hiding_run.h"
#include "menu/system_menu.h"
#include "platform/controls.h"
#include "platform/platform.h"
#include "policy/options_in_force.h"
#include "settings/settings_controls.h"
#include "tray/tray_presence.h"

namespace pellucor {

inline constexpr const char* kHomePage = "https://trandavel.example/pellucor/";
inline constexpr const char* kHandCursorFile = "\\HAND-M.CUR";
inline constexpr const char* kSkinFile = "\\x\\o.cjs";
inline constexpr const char* kLoadLocation = "in Pellucor2021/08/31.Form1.Form_Load ";

// The run button's caption: what a click does, and the key that stops a run.
std::string RunButtonCaption(bool running, const KeyChord& stopKey, const Texts& texts);

// Its handlers run on the GUI thread, from the platform's message dispatch,
// and may nest inside each other's message processing.
class MainWindow final : public FormEvents, public RunObserver {
 public:
  // Control ids, in the order the controls are created.
  enum : ControlId {
    kIdleSecondsFrame = 1,
    kIdleSecondsField,
    kStartupFrame,
    kStartWithWindowsBox,
    kStartMinimisedBox,
    kRunButton
  };

  explicit MainWindow(Platform& platform);

  // Creates the window hidden and runs the load handler.
  void create();
  // Shows the window as the load left it: normal and centred, or minimised.
  void show();

  // FormEvents
  void onUserClick(ControlId id) override;
  void onUserTextChange(ControlId id) override;
  void onFocusGained(ControlId id) override;
  void onFocusLost(ControlId id) override;
  void onMouseMove(ControlId id) override;
  void onResize() override { tray.onWindowResized(); }
  void onColoursChanged() override { paintColours(); }
  void onCloseRequest() override;

  // RunObserver: the run button says what a click on it will do, and a
  // restart after an installer resumes a run that was on.
  void onRunChanged() override;
  void onHideKeyRefused(const KeyChord& chord) override;

  // Every guarded handler reports its step numbers here (tests record them).
  void setStepObserver(StepObserver observer) { stepObserver_ = std::move(observer); }

  const std::string& AppTitle() const { return appTitle_; }
  CursorHandle MouseIcon() const { return mouseIcon_; }
  MousePointer mousePointer() const { return mousePointer_; }

 private:
  Platform& platform_;
  std::vector<ControlSpec> specs_;
  StepObserver stepObserver_;
  // The caption of boxes that give none of their own, set as the window loads.
  std::string appTitle_;
  CursorHandle mouseIcon_ = 0;
  MousePointer mousePointer_ = MousePointer::Default;

 public:
  // The controls and parts of the window, public for the tests to drive.
  CaptionedControl idleSecondsFrame;
  TextField idleSecondsField;
  CaptionedControl startupFrame;
  CheckBox startWithWindowsBox;
  CheckBox startMinimisedBox;
  CaptionedControl runButton;
  SkinEngine skin;
  TrayPresence tray;
  HidingRun run;
  SettingsControls settings;
  OptionsInForce choices;
  SystemMenu menu;
  CommandHandler commands;

 private:
  void onLoad();
  void applySkin();
  void paintSkinBase();
  void paintColours();
  void setMousePointer(MousePointer pointer);
};

}  // namespace pellucor
