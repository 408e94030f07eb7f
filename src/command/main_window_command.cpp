// The main window's side of the command line: what another start asks of
// this copy, and the command this start was given itself. Each action goes
// the way the user's own would: a run starts from the message loop as
// "Start hiding as soon as Pellucor starts" starts it, a stop is the hot
// key's, a close is the close button's. The handler only arranges them and
// answers, so the sender hears back before a run's loop or the end begins.

#include "app/main_window.h"
#include "hider/hot_key.h"
#include "settings/settings.h"

namespace pellucor {

int MainWindow::onCommand(std::string_view message) {
  const std::optional<Command> command = DecodeCommand(message);
  if (!command) return kAnswerNotUnderstood;
  return CarryOut(*command);
}

int MainWindow::CarryOut(const Command& command) {
  if (command.action == CommandAction::Start) {
    // A run begun inside a box's modal loop would take the window into the
    // tray from under the box; one that is ending cannot be kept on.
    if (platform_.boxOpen() || (Running() && hotKey::StopRequested != 0)) return kAnswerBusy;
  }
  if (command.seconds) {
    if (policies_.idleSeconds) return kAnswerSecondsManaged;
    if (!AcceptRemoteSeconds(*command.seconds)) return kAnswerSecondsRefused;
    SetIdleSeconds(*command.seconds);
  }
  switch (command.action) {
    case CommandAction::Start:
      if (!Running()) startRunTimer.setEnabled(true);
      break;
    case CommandAction::Stop:
      startRunTimer.setEnabled(false);  // a run asked for but not begun yet
      if (Running()) {
        quietStop_ = true;
        hotKey::StopRequested = -1;  // the run's loop ends it, as after the hot key
      }
      break;
    case CommandAction::Show:
      onShowRequest();
      break;
    case CommandAction::Exit:
      closeTimer.setEnabled(true);
      break;
    case CommandAction::None:
      break;
  }
  return kAnswerDone;
}

// The text comes from outside this process: it is judged again here, by the
// same rule the command line used.
bool MainWindow::AcceptRemoteSeconds(std::string_view text) { return UsableSeconds(text, platform_); }

void MainWindow::SetIdleSeconds(const std::string& text) {
  idleSecondsField.setText(text);  // the tick reads the field at its next round
  // Written also when the field showed the text already: it shows 3 for a
  // stored value the tick refuses.
  WriteSetting(platform_, kKeyPath, text);
}

}  // namespace pellucor
