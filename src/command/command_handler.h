#pragma once

// This copy's side of the command line: what another start asks of it, and
// the command this start was given itself. Each action goes the way the
// user's own would: a run starts from the message loop as "Start hiding as
// soon as Pellucor starts" starts it, a stop is the stop key's, a close is
// the close button's. The handler only arranges them and answers, so the
// sender hears back before a run's loop or the end begins.

#include <functional>
#include <string>
#include <string_view>

#include "command/command_line.h"
#include "hider/hiding_run.h"
#include "platform/clock.h"
#include "platform/controls.h"
#include "platform/message_loop.h"
#include "platform/processes.h"
#include "policy/options_in_force.h"
#include "settings/settings_controls.h"
#include "tray/tray_presence.h"

namespace pellucor {

class CommandHandler final : public CommandEvents {
 public:
  // Closes the window from the message loop, after a command to close has
  // been answered. A timer id of the window's.
  static constexpr int kCloseTimer = 4;
  // Brings the window back from the message loop, after a command to show
  // it has been answered: its balloon must not hold the sender up.
  static constexpr int kShowTimer = 5;
  // Hides the pointer from the message loop, after /hide has been answered.
  static constexpr int kHideTimer = 6;

  // `close` closes the program as its close button does.
  CommandHandler(MessageLoop& loop, Numbers& numbers, HidingRun& run, SettingsControls& settings,
                 const OptionsInForce& choices, TrayPresence& tray, std::function<void()> close);

  // Returns the answer (CommandAnswer). Nothing changes unless all of it
  // can be done.
  int CarryOut(const Command& command);

  // What a command arranged and has not begun.
  Timer& closeTimer() { return closeTimer_; }
  Timer& showTimer() { return showTimer_; }
  Timer& hideTimer() { return hideTimer_; }

  // CommandEvents
  int onCommand(std::string_view message) override;
  // A start without a command: the window comes back as a click on the tray
  // icon brings it, and a run going stays on.
  void onShowRequest() override { tray_.bringBack(); }

 private:
  MessageLoop& loop_;
  Numbers& numbers_;
  HidingRun& run_;
  SettingsControls& settings_;
  const OptionsInForce& choices_;
  TrayPresence& tray_;
  Timer closeTimer_;
  Timer showTimer_;
  Timer hideTimer_;
};

}  // namespace pellucor
