#include "settings/settings_controls.h"

#include <utility>

#include "common/app_title.h"
#include "common/error_report.h"
#include "platform/failure.h"
#include "settings/settings.h"
#include "settings/startup.h"

namespace pellucor {

SettingsControls::SettingsControls(Window& window, MessageLoop& loop, Registry& registry, Files& files,
                                   Numbers& numbers, const Texts& texts, HidingRun& run, TextField& idleSecondsField,
                                   CheckBox& startWithWindowsBox, CheckBox& startMinimisedBox,
                                   const std::string& boxCaption)
    : window_(window),
      loop_(loop),
      registry_(registry),
      files_(files),
      numbers_(numbers),
      texts_(texts),
      run_(run),
      idleSecondsField_(idleSecondsField),
      startWithWindowsBox_(startWithWindowsBox),
      startMinimisedBox_(startMinimisedBox),
      boxCaption_(boxCaption) {
  idleSecondsField_.onChange = [this] { onIdleSecondsChange(); };
  idleSecondsField_.onGotFocus = [this] { onIdleSecondsFocus(); };
  idleSecondsField_.onLostFocus = [this] { onIdleSecondsFocusLost(); };
  startWithWindowsBox_.onClick = [this] { onStartWithWindowsClick(); };
  startMinimisedBox_.onClick = [this] { onStartMinimisedClick(); };
  run_.setIdleSeconds(idleSecondsField_.text());
}

std::string SettingsControls::rememberedSeconds() {
  const std::string stored = ReadSetting(registry_, kKeyPath, "");
  try {
    numbers_.textToInt16(stored);
    return stored;
  } catch (const Failure&) {
    return std::to_string(3);
  }
}

void SettingsControls::showRememberedSeconds() { showSeconds(rememberedSeconds()); }

void SettingsControls::showSeconds(const std::string& seconds) {
  showingStoredSeconds_ = true;
  struct Done {
    bool& flag;
    ~Done() { flag = false; }
  } done{showingStoredSeconds_};
  idleSecondsField_.setText(seconds);
}

void SettingsControls::readStartWithWindows() {
  startWithWindowsBox_.setValue(ReadSetting(registry_, kKeyWindowsStartup, "Off") == "On" ? 1 : 0);
}

void SettingsControls::readStartMinimised() {
  startMinimisedBox_.setValue(ReadSetting(registry_, kKeyMinimized, "Off") == "On" ? 1 : 0);
}

void SettingsControls::setIdleSeconds(const std::string& text) {
  idleSecondsField_.setText(text);  // the tick counts to it from its next round
  // Written also when the field showed the text already: it shows 3 for a
  // stored value the tick refuses.
  WriteSetting(registry_, kKeyPath, text);
}

// The tick reads the seconds: showing the policy's applies them.
void SettingsControls::showManagedSeconds(std::optional<int> managed) {
  const bool wereManaged = std::exchange(secondsManaged_, managed.has_value());
  if (managed) {
    showSeconds(std::to_string(*managed));
    if (!wereManaged) window_.setEnabled(idleSecondsField_.id(), false);
  } else if (wereManaged) {
    showRememberedSeconds();
    window_.setEnabled(idleSecondsField_.id(), true);
  }
}

void SettingsControls::onIdleSecondsChange() {
  run_.setIdleSeconds(idleSecondsField_.text());
  // The start shows what is stored; writing it back could only change it.
  if (!showingStoredSeconds_) WriteSetting(registry_, kKeyPath, idleSecondsField_.text());
}

// A value typed next replaces the old one.
void SettingsControls::onIdleSecondsFocus() {
  idleSecondsField_.select(0, static_cast<int>(idleSecondsField_.text().size()));
}

// Runs only when the focus moves to another control of this window, not when
// the user switches to another program or the window is hidden.
void SettingsControls::onIdleSecondsFocusLost() {
  try {
    numbers_.textToDouble(idleSecondsField_.text());
    return;
  } catch (const Failure&) {
  }
  loop_.messageBox(texts_.textFor(IDS_NOT_NUMERIC), boxCaption_, 0);
  // A window hidden into the tray meanwhile gets no focus back.
  if (window_.visible(kWindow)) idleSecondsField_.setFocus();
}

void SettingsControls::onStartMinimisedClick() {
  WriteSetting(registry_, kKeyMinimized, startMinimisedBox_.value() == 1 ? "On" : "Off");
}

void SettingsControls::onStartWithWindowsClick() {
  if (startWithWindowsBox_.value() == 1) {
    startMinimisedBox_.setVisible(true);
    WriteSetting(registry_, kKeyWindowsStartup, "On");
    if (!runAtLogon::AddToStartup(registry_, files_.modulePath())) {
      // Neither Run key would take the value: say so rather than show a
      // switch that does nothing. Unchecking runs this handler's other half.
      loop_.messageBox(texts_.textFor(IDS_STARTUP_FAILED), boxCaption_, kErrorBoxStyle);
      startWithWindowsBox_.setValue(0);
    }
  } else {
    startMinimisedBox_.setValue(0);
    startMinimisedBox_.setVisible(false);
    WriteSetting(registry_, kKeyWindowsStartup, "Off");
    if (runAtLogon::RemoveFromStartup(registry_, files_.modulePath())) {
      // Switched off here, yet Windows still starts it for everyone: say so
      // rather than seem to have done it.
      loop_.messageBox(texts_.textFor(IDS_STARTUP_NOT_REMOVED), kProductTitle, kErrorBoxStyle);
    }
  }
}

}  // namespace pellucor
