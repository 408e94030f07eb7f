// The settings controls of the main window: the idle-seconds field and the
// two start-up switches, each saved the moment it changes.

#include "app/main_window.h"
#include "platform/failure.h"
#include "settings/settings.h"
#include "settings/startup.h"

namespace pellucor {

void MainWindow::onIdleSecondsChange() {
  // The start shows what is stored; writing it back could only change it.
  if (!showingStoredSeconds_) WriteSetting(platform_, kKeyPath, idleSecondsField.text());
}

// A value typed next replaces the old one.
void MainWindow::onIdleSecondsFocus() { idleSecondsField.select(0, static_cast<int>(idleSecondsField.text().size())); }

// Runs only when the focus moves to another control of this window, not when
// the user switches to another program or the window is hidden.
void MainWindow::onIdleSecondsFocusLost() {
  try {
    platform_.textToDouble(idleSecondsField.text());
    return;
  } catch (const Failure&) {
  }
  platform_.messageBox(kNotNumeric, appTitle_, 0);
  // A window hidden into the tray meanwhile gets no focus back.
  if (platform_.visible(kWindow)) idleSecondsField.setFocus();
}

void MainWindow::onStartMinimisedClick() {
  WriteSetting(platform_, kKeyMinimized, startMinimisedBox.value() == 1 ? "On" : "Off");
}

void MainWindow::onStartWithWindowsClick() {
  if (startWithWindowsBox.value() == 1) {
    startMinimisedBox.setVisible(true);
    WriteSetting(platform_, kKeyWindowsStartup, "On");
    if (!runAtLogon::AddToStartup(platform_, platform_.modulePath())) {
      // Neither Run key would take the value: say so rather than show a
      // switch that does nothing. Unchecking runs this handler's other half.
      platform_.messageBox(kStartupFailed, appTitle_, kErrorBoxStyle);
      startWithWindowsBox.setValue(0);
    }
  } else {
    startMinimisedBox.setValue(0);
    startMinimisedBox.setVisible(false);
    WriteSetting(platform_, kKeyWindowsStartup, "Off");
    if (runAtLogon::RemoveFromStartup(platform_, platform_.modulePath())) {
      // Switched off here, yet Windows still starts it for everyone: say so
      // rather than seem to have done it.
      platform_.messageBox(kStartupNotRemoved, kProductTitle, kErrorBoxStyle);
    }
  }
}

}  // namespace pellucor
