#pragma once

#include <string>
#include <vector>

#include "app/error_report.h"
#include "app/skin_framework.h"
#include "platform/controls.h"
#include "platform/platform.h"
#include "tray/csystray.h"

namespace pellucor {

inline constexpr const char* kHomePage = "https://trandavel.example/pellucor/";
inline constexpr const char* kHandCursorFile = "\\HAND-M.CUR";
inline constexpr const char* kSkinFile = "\\x\\o.cjs";
inline constexpr const char* kLoadLocation = "in Pellucor2021/08/31.Form1.Form_Load ";
inline constexpr const char* kStartCaption = "Start Running (Press Ctrl + Shift + S To Stop)";

// The main window. Its handlers run on the GUI thread, from the platform's
// message dispatch, and may nest inside each other's message processing.
class Form1 final : public FormEvents {
 public:
  // Control ids, in the order the controls are created.
  enum : ControlId { kFrame1 = 1, kText1, kFrame2, kCheck4, kCheck8, kPushButton2 };
  static constexpr int kTimer1 = 1;

  explicit Form1(Platform& platform);

  // Creates the window hidden and runs the load handler.
  void create();
  // Shows the window as the load left it: normal and centred, or minimised.
  void show();

  void Form_Load();
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

  // Every guarded handler reports its step numbers here (tests record them).
  void setStepObserver(StepObserver observer) { stepObserver_ = std::move(observer); }

  const std::string& AppTitle() const { return appTitle_; }
  CursorHandle MouseIcon() const { return mouseIcon_; }
  MousePointer mousePointer() const { return mousePointer_; }

  // The controls, public as a designer's controls are.
  CaptionedControl Frame1;
  TextField Text1;
  CaptionedControl Frame2;
  CheckBox Check4;
  CheckBox Check8;
  CaptionedControl PushButton2;
  Timer Timer1;
  cSysTray cSysTray1;
  SkinFramework SkinFramework1;

 private:
  Guard guard(const char* location) const { return Guard(platform_, location, &stepObserver_); }
  std::string programFile(const char* literal) const { return platform_.programFolder() + literal; }
  void setMousePointer(MousePointer pointer);
  void Form_QueryUnload();
  void Form_Unload();

  Platform& platform_;
  std::vector<ControlSpec> specs_;
  StepObserver stepObserver_;
  std::string appTitle_;
  CursorHandle mouseIcon_ = 0;
  MousePointer mousePointer_ = MousePointer::Default;
};

}  // namespace pellucor
