#include "command/command_handler.h"

namespace pellucor {

CommandHandler::CommandHandler(MessageLoop& loop, Numbers& numbers, HidingRun& run, SettingsControls& settings,
                               const OptionsInForce& choices, TrayPresence& tray, std::function<void()> close)
    : loop_(loop),
      numbers_(numbers),
      run_(run),
      settings_(settings),
      choices_(choices),
      tray_(tray),
      closeTimer_(loop, kCloseTimer, kSoonMs),
      showTimer_(loop, kShowTimer, kSoonMs),
      hideTimer_(loop, kHideTimer, kSoonMs) {
  closeTimer_.setOneShot(std::move(close));
  showTimer_.setOneShot([this] { tray_.bringBack(); });
  hideTimer_.setOneShot([this] { run_.hideNow(); });
}

int CommandHandler::onCommand(std::string_view message) {
  const std::optional<Command> command = DecodeCommand(message);
  if (!command) return kAnswerNotUnderstood;
  return CarryOut(*command);
}

int CommandHandler::CarryOut(const Command& command) {
  if (command.action == CommandAction::Start) {
    // A run begun inside a box's modal loop would take the window into the
    // tray from under the box; one that is ending cannot be kept on.
    if (loop_.boxOpen() || (run_.running() && run_.stopping())) return kAnswerBusy;
  }
  if (command.seconds) {
    if (choices_.policies().idleSeconds) return kAnswerSecondsManaged;
    // The text comes from outside this process: it is judged again here, by
    // the same rule the command line used.
    if (!UsableSeconds(*command.seconds, numbers_)) return kAnswerSecondsRefused;
    settings_.setIdleSeconds(*command.seconds);
  }
  switch (command.action) {
    case CommandAction::Start:
      if (!run_.running()) run_.startSoon();
      break;
    case CommandAction::Stop:
      run_.cancelStart();  // a run asked for but not begun yet
      run_.stopQuietly();
      break;
    case CommandAction::Show:
      showTimer_.setEnabled(true);
      break;
    case CommandAction::Hide:
      hideTimer_.setEnabled(true);
      break;
    case CommandAction::Exit:
      closeTimer_.setEnabled(true);
      break;
    case CommandAction::None:
      break;
  }
  return kAnswerDone;
}

}  // namespace pellucor
