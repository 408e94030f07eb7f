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
  ShowMinimiseBalloon();
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
