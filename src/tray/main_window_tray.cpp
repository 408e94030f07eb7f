// The main window's life in the notification area.

#include "app/app_title.h"
#include "app/main_window.h"

namespace pellucor {

// Minimising hides the window into the tray; the first time, a balloon says where.
void MainWindow::onResize() {
  if (platform_.windowState() != WindowState::Minimised || HiddenInTray) return;
  platform_.setVisible(kWindow, false);
  platform_.setWindowState(WindowState::Normal);
  HiddenInTray = true;
  trayWatchTimer.setEnabled(true);  // counts afresh from this hide
  ShowMinimiseBalloon();
}

// Hidden with no icon to bring it back (Explorer has not taken it yet): the
// window shows again, so the user is never left without a way in. The tray
// control keeps trying to add the icon.
void MainWindow::onTrayWatchTick() {
  trayWatchTimer.setEnabled(false);
  if (!HiddenInTray || trayIcon.IconShown()) return;
  // "Minimized to the system tray" would be untrue once the icon arrives.
  trayIcon.DropPendingBalloon();
  platform_.setVisible(kWindow, true);
  platform_.setFocus(kWindow);
  HiddenInTray = false;
}

// Either button brings the window back. A window that cannot take the focus
// is still shown.
void MainWindow::onTrayIconMouseUp(std::int16_t, std::int32_t) {
  platform_.setVisible(kWindow, true);
  platform_.setFocus(kWindow);
  HiddenInTray = false;
  ShowMinimiseBalloon();
}

// Another start of the program wants this window: it comes back as a click
// on the tray icon brings it, and a run going stays on.
void MainWindow::onShowRequest() { onTrayIconMouseUp(1, trayIcon.IconId()); }

void MainWindow::ShowMinimiseBalloon() {
  trayIcon.ShowBalloon(kMinimiseBalloonText, kProductTitle, kMinimiseBalloonSeconds, true);
}

}  // namespace pellucor
