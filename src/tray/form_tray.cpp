// The main window's life in the notification area.

#include "app/app_title.h"
#include "app/form1.h"

namespace pellucor {

// Minimising hides the window into the tray; the first time, a balloon says where.
void Form1::Form_Resize() {
  if (platform_.windowState() != WindowState::Minimised || HiddenInTray) return;
  platform_.setVisible(kWindow, false);
  platform_.setWindowState(WindowState::Normal);
  HiddenInTray = true;
  TrayWatch.setEnabled(true);  // counts afresh from this hide
  ShowMinimiseBalloon();
}

// Hidden with no icon to bring it back (Explorer has not taken it yet): the
// window shows again, so the user is never left without a way in. The tray
// control keeps trying to add the icon.
void Form1::TrayWatch_Timer() {
  TrayWatch.setEnabled(false);
  if (!HiddenInTray || cSysTray1.IconShown()) return;
  // "Minimized to the system tray" would be untrue once the icon arrives.
  cSysTray1.DropPendingBalloon();
  platform_.setVisible(kWindow, true);
  platform_.setFocus(kWindow);
  HiddenInTray = false;
}

// Either button brings the window back. A window that cannot take the focus
// is still shown.
void Form1::cSysTray1_MouseUp(std::int16_t, std::int32_t) {
  platform_.setVisible(kWindow, true);
  platform_.setFocus(kWindow);
  HiddenInTray = false;
  ShowMinimiseBalloon();
}

// Another start of the program wants this window: it comes back as a click
// on the tray icon brings it, and a run going stays on.
void Form1::onShowRequest() { cSysTray1_MouseUp(1, cSysTray1.IconId()); }

void Form1::ShowMinimiseBalloon() {
  cSysTray1.ShowBalloon(kMinimiseBalloonText, kProductTitle, kMinimiseBalloonSeconds, true);
}

}  // namespace pellucor
