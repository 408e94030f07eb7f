#pragma once

// The settings controls of the main window: the idle-seconds field and the
// two start-up switches, each saved the moment it changes. The field's
// seconds are also what the run counts to.

#include <optional>
#include <string>

#include "hider/hiding_run.h"
#include "platform/clock.h"
#include "platform/controls.h"
#include "platform/files.h"
#include "platform/message_loop.h"
#include "platform/registry.h"
#include "platform/texts.h"
#include "platform/window.h"

namespace pellucor {

class SettingsControls {
 public:
  // The controls are the window's; `boxCaption` is the application title,
  // which the window sets as it loads.
  SettingsControls(Window& window, MessageLoop& loop, Registry& registry, Files& files, Numbers& numbers,
                   const Texts& texts, HidingRun& run, TextField& idleSecondsField, CheckBox& startWithWindowsBox,
                   CheckBox& startMinimisedBox, const std::string& boxCaption);

  // The field at start: the seconds the user chose last time, when the tick
  // takes them; a text it would refuse starts the field at 3, as it always did.
  void showRememberedSeconds();
  // Each switch as stored: "On" checks it, and its click runs as the user's would.
  void readStartWithWindows();
  void readStartMinimised();
  // Seconds a command gave: shown in the field and stored as typed ones are.
  void setIdleSeconds(const std::string& text);
  // The seconds a policy sets: shown greyed in the field, which takes the
  // user's own again, as stored, once no policy sets them.
  void showManagedSeconds(std::optional<int> managed);

 private:
  void onIdleSecondsChange();
  void onIdleSecondsFocus();
  void onIdleSecondsFocusLost();
  void onStartWithWindowsClick();
  void onStartMinimisedClick();
  // Puts seconds in the field without storing them as the user's.
  void showSeconds(const std::string& seconds);
  std::string rememberedSeconds();

  Window& window_;
  MessageLoop& loop_;
  Registry& registry_;
  Files& files_;
  Numbers& numbers_;
  const Texts& texts_;
  HidingRun& run_;
  TextField& idleSecondsField_;
  CheckBox& startWithWindowsBox_;
  CheckBox& startMinimisedBox_;
  const std::string& boxCaption_;
  bool showingStoredSeconds_ = false;
  bool secondsManaged_ = false;
};

}  // namespace pellucor
