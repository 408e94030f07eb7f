#include "tray/tray_presence.h"

#include "common/app_title.h"

namespace pellucor {
namespace {

// Explorer may take its time at logon; past this, the window comes back.
constexpr unsigned kTrayWatchMs = 10000;

}  // namespace

TrayPresence::TrayPresence(Window& window, MessageLoop& loop, TrayShell& shell, Clock& clock, const Texts& texts)
    : trayIcon(shell, loop, clock, *this),
      window_(window),
      shell_(shell),
      texts_(texts),
      trayWatchTimer_(loop, kTrayWatchTimer, kTrayWatchMs) {
  trayWatchTimer_.setOneShot([this] { onTrayWatchTick(); });
}

void TrayPresence::create() {
  // The tray control's stored properties: out of the tray, the tray picture,
  // no tip.
  PropertyBag stored;
  stored.booleans["InTray"] = false;
  stored.pictures["TrayIcon"] = std::make_shared<Picture>(Picture{Picture::kIcon, shell_.trayIcon()});
  stored.texts["TrayTip"] = "";
  trayIcon.ReadProperties(stored);
  // Either button brings the window back.
  trayIcon.MouseUp = [this](std::int16_t, std::int32_t) { bringBack(); };
}

// Minimising hides the window into the tray; the first time, a balloon says where.
void TrayPresence::onWindowResized() {
  if (window_.windowState() != WindowState::Minimised || hiddenInTray_) return;
  window_.setVisible(kWindow, false);
  window_.setWindowState(WindowState::Normal);
  hiddenInTray_ = true;
  trayWatchTimer_.setEnabled(true);  // counts afresh from this hide
  showMinimiseBalloon();
}

// Hidden with no icon to bring it back (Explorer has not taken it yet): the
// window shows again, so the user is never left without a way in. The tray
// control keeps trying to add the icon.
void TrayPresence::onTrayWatchTick() {
  if (!hiddenInTray_ || trayIcon.IconShown()) return;
  // "Minimized to the system tray" would be untrue once the icon arrives.
  trayIcon.DropPendingBalloon();
  window_.setVisible(kWindow, true);
  window_.setFocus(kWindow);
  hiddenInTray_ = false;
}

// A window that cannot take the focus is still shown.
void TrayPresence::bringBack() {
  window_.setVisible(kWindow, true);
  window_.setFocus(kWindow);
  hiddenInTray_ = false;
  showMinimiseBalloon();
}

void TrayPresence::leave() {
  trayWatchTimer_.setEnabled(false);
  trayIcon.setInTray(false);
}

void TrayPresence::showMinimiseBalloon() {
  trayIcon.ShowBalloon(texts_.textFor(IDS_BALLOON), kProductTitle, kMinimiseBalloonSeconds, true);
}

void TrayPresence::leaveForRun() { window_.setWindowState(WindowState::Minimised); }

void TrayPresence::showAfterRun() {
  // The window is back: no news of the tray, now or later.
  trayIcon.DropPendingBalloon();
  trayIcon.HideBalloon();
  window_.setVisible(kWindow, true);
}

// Windows refuses the foreground to a program the user did not just use (the
// stop key was typed into another one): the window then opens behind, and
// its taskbar button says where it is.
void TrayPresence::focusAfterRun() {
  window_.setFocus(kWindow);
  if (!window_.isForeground()) window_.flashUntilActivated();
}

}  // namespace pellucor
