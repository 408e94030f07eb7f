#pragma once

#include <string>
#include <vector>

#include "app/error_report.h"
#include "app/skin_engine.h"
#include "command/command_line.h"
#include "hider/cursor_hider.h"
#include "options/options.h"
#include "platform/controls.h"
#include "platform/platform.h"
#include "policy/policy.h"
#include "tray/tray_icon.h"

namespace pellucor {

inline constexpr const char* kHomePage = "https://trandavel.example/pellucor/";
inline constexpr const char* kHandCursorFile = "\\HAND-M.CUR";
inline constexpr const char* kSkinFile = "\\x\\o.cjs";
inline constexpr const char* kLoadLocation = "in Pellucor2021/08/31.Form1.Form_Load ";
inline constexpr const char* kTickLocation = "in Pellucor2021/08/31.Form1.Timer1_Timer ";
inline constexpr const char* kClickLocation = "in Pellucor2021/08/31.Form1.PushButton2_Click ";
inline constexpr const char* kStartCaption = "Start Running (Press Ctrl + Shift + S To Stop)";
inline constexpr const char* kStopCaption = "Stop Running (Press Ctrl + Shift + S To Stop)";
inline constexpr const char* kNotNumeric = "Must be a numerical value.";
inline constexpr const char* kStartupFailed = "Pellucor could not be set to start with Windows.";
inline constexpr const char* kStartupNotRemoved =
    "Pellucor could not be removed from Windows startup for all users. Start Pellucor as administrator once to "
    "switch this off.";
inline constexpr const char* kMinimiseBalloonText =
    "has been minimized to the system tray.\r\n"
    "Click on the blue 'T' icon (T for Trandavel) to bring the software back.";
inline constexpr std::int32_t kMinimiseBalloonSeconds = 5;
inline constexpr const char* kOptionsMenuText = "Options...";
inline constexpr const char* kAboutMenuText = "About Pellucor...";
inline constexpr const char* kAboutCaption = "About Pellucor";

// The main window. Its handlers run on the GUI thread, from the platform's
// message dispatch, and may nest inside each other's message processing.
class MainWindow final : public FormEvents, public ControlHost {
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
  static constexpr int kTickTimer = 1;
  // Looks, a while after the window went into the tray, whether the tray
  // icon is really there.
  static constexpr int kTrayWatch = 2;
  // Begins the run of "Start hiding as soon as Pellucor starts" from the
  // message loop, once the start-up is over.
  static constexpr int kStartRunTimer = 3;
  // Closes the window from the message loop, after a command to close has
  // been answered.
  static constexpr int kCloseTimer = 4;
  // The system menu's items.
  enum : int { kOptionsMenuItem = 0x1010, kAboutMenuItem = 0x1020 };

  explicit MainWindow(Platform& platform);

  // Creates the window hidden and runs the load handler.
  void create();
  // Shows the window as the load left it: normal and centred, or minimised.
  void show();

  void onLoad();
  void ApplySkin();
  void SetAppTitle();

  // FormEvents
  void onUserClick(ControlId id) override;
  void onUserTextChange(ControlId id) override;
  void onFocusGained(ControlId id) override;
  void onFocusLost(ControlId id) override;
  void onMouseMove(ControlId id) override;
  void onResize() override;
  void onCloseRequest() override;
  void onTimer(int timerId) override;
  void onMouseInput(unsigned uses) override;
  void onShowRequest() override;
  void onStopKey() override;
  void onSessionResumed() override;
  void onTypingKey() override;
  void onForegroundChanged() override;
  void onMenuCommand(int id) override;
  void onPolicyChanged() override;
  int onCommand(std::string_view command) override;

  // ControlHost: the program always runs; it keeps no layout to mark.
  bool UserMode() const override { return true; }
  void PropertyChanged(std::string_view) override {}

  void onTrayIconMouseUp(std::int16_t button, std::int32_t id);
  void onTrayWatchTick();
  void onTick();
  void onRunButtonClick();
  void onIdleSecondsChange();
  void onIdleSecondsFocus();
  void onIdleSecondsFocusLost();
  void onStartWithWindowsClick();
  void onStartMinimisedClick();
  void onStartRunTick();
  void OpenOptions();
  void ShowAbout();

  // A command from the command line, of another start or of this one;
  // returns the answer (CommandAnswer). Nothing changes unless all of it
  // can be done.
  int CarryOut(const Command& command);
  // Whether a command may set the idle seconds to this text.
  bool AcceptRemoteSeconds(std::string_view text);

  // The choices that apply: the Options window's, as stored, but where a
  // policy sets them.
  const Options& options() const { return options_; }
  const Policies& policies() const { return policies_; }
  // Reads the policies again and applies what they set, or the user's own
  // choices where they no longer set anything.
  void ApplyPolicies();

  // The idle detection's memory, set when a run starts.
  std::int32_t LastCursorX = 0;
  std::int32_t LastCursorY = 0;
  std::int32_t IdleTicks = 0;

  // True while the window has been hidden into the tray and not brought back.
  bool HiddenInTray = false;

  // Every guarded handler reports its step numbers here (tests record them).
  void setStepObserver(StepObserver observer) { stepObserver_ = std::move(observer); }

  const std::string& AppTitle() const { return appTitle_; }
  CursorHandle MouseIcon() const { return mouseIcon_; }
  MousePointer mousePointer() const { return mousePointer_; }

  // The controls and parts of the window, public for the tests to drive.
  CaptionedControl idleSecondsFrame;
  TextField idleSecondsField;
  CaptionedControl startupFrame;
  CheckBox startWithWindowsBox;
  CheckBox startMinimisedBox;
  CaptionedControl runButton;
  Timer tickTimer;
  Timer trayWatchTimer;
  Timer startRunTimer;
  Timer closeTimer;
  TrayIcon trayIcon;
  SkinEngine skin;
  CursorHider cursorHider;

 private:
  Guard guard(const char* location) const { return Guard(platform_, location, &stepObserver_); }
  std::string programFile(const char* literal) const { return platform_.programFolder() + literal; }
  void setMousePointer(MousePointer pointer);
  void ShowMinimiseBalloon();
  void StopSequence(Guard& g);
  void WaitForStopKeysUp();
  void putBackBeforeClose();
  // The run's watches that the options ask for: typing, the program in front.
  void WatchForRun(bool running);
  // Hides the pointer (a tick's or a key's), noting where it was hidden.
  void Conceal();
  // A listed program is in front: nothing may be hidden.
  bool InListedProgram();
  // The field's text at start: the stored seconds when the tick takes them.
  std::string RememberedSeconds();
  // Puts seconds in the field without storing them as the user's.
  void ShowSeconds(const std::string& seconds);
  void endForClose();
  // The seconds a command gave: shown in the field and stored as typed ones are.
  void SetIdleSeconds(const std::string& text);
  bool Running() const { return runButton.caption() == kStopCaption; }

  Platform& platform_;
  std::vector<ControlSpec> specs_;
  StepObserver stepObserver_;
  std::string appTitle_;
  CursorHandle mouseIcon_ = 0;
  MousePointer mousePointer_ = MousePointer::Default;
  // True while a tick runs; a tick arriving meanwhile (its error box is open
  // and pumping) is skipped rather than stacking another box.
  bool inTick_ = false;
  Options options_;
  // The user's own choices, as stored, under any policy.
  Options storedOptions_;
  Policies policies_;
  bool showingStoredSeconds_ = false;
  // The run ends by a command: the window stays where it is, in the tray or not.
  bool quietStop_ = false;
  // Where the pointer was when it was hidden: movements measure from there.
  Point hiddenAt_;
};

}  // namespace pellucor
