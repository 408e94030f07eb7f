// The settings controls of the main window: the idle-seconds field and the
// two start-up switches, each saved the moment it changes.

#include "app/form1.h"
#include "platform/failure.h"
#include "settings/settings.h"
#include "settings/startup.h"

namespace pellucor {

void Form1::Text1_Change() { WriteSetting(platform_, kKeyPath, Text1.text()); }

// A value typed next replaces the old one.
void Form1::Text1_GotFocus() { Text1.select(0, static_cast<int>(Text1.text().size())); }

// Runs only when the focus moves to another control of this window, not when
// the user switches to another program or the window is hidden.
void Form1::Text1_LostFocus() {
  try {
    platform_.textToDouble(Text1.text());
    return;
  } catch (const Failure&) {
  }
  platform_.messageBox(kNotNumeric, appTitle_, 0);
  // A window hidden into the tray meanwhile gets no focus back.
  if (platform_.visible(kWindow)) Text1.setFocus();
}

void Form1::Check8_Click() { WriteSetting(platform_, kKeyMinimized, Check8.value() == 1 ? "On" : "Off"); }

void Form1::Check4_Click() {
  if (Check4.value() == 1) {
    Check8.setVisible(true);
    WriteSetting(platform_, kKeyWindowsStartup, "On");
    if (!mStartUp::AddToStartup(platform_)) {
      // Neither Run key would take the value: say so rather than show a
      // switch that does nothing. Unchecking runs this handler's other half.
      platform_.messageBox(kStartupFailed, appTitle_, kErrorBoxStyle);
      Check4.setValue(0);
    }
  } else {
    Check8.setValue(0);
    Check8.setVisible(false);
    WriteSetting(platform_, kKeyWindowsStartup, "Off");
    if (mStartUp::RemoveFromStartup(platform_)) {
      // Switched off here, yet Windows still starts it for everyone: say so
      // rather than seem to have done it.
      platform_.messageBox(kStartupNotRemoved, kProductTitle, kErrorBoxStyle);
    }
  }
}

}  // namespace pellucor
