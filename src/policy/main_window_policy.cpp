// The main window under Group Policy: what the policies set applies at once,
// in a run too, and its controls are greyed while they set it.

#include "app/main_window.h"

namespace pellucor {

void MainWindow::onPolicyChanged() { ApplyPolicies(); }

void MainWindow::ApplyPolicies() {
  const bool secondsWereManaged = policies_.idleSeconds.has_value();
  policies_ = ReadPolicies(platform_, platform_);
  options_ = Enforce(storedOptions_, policies_);
  // The tick reads the field: showing the policy's seconds applies them. The
  // user's own come back, as stored, when the policy goes.
  if (policies_.idleSeconds) {
    ShowSeconds(std::to_string(*policies_.idleSeconds));
    if (!secondsWereManaged) platform_.setEnabled(kIdleSecondsField, false);
  } else if (secondsWereManaged) {
    ShowSeconds(RememberedSeconds());
    platform_.setEnabled(kIdleSecondsField, true);
  }
  if (Running()) WatchForRun(true);
}

}  // namespace pellucor
