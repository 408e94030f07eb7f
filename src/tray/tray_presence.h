#pragma once

// The main window's life in the notification area: minimised, it goes into
// the tray, the first time with a balloon that says where; the icon, or
// another start, brings it back; and a run takes it there and back.

#include <cstdint>
#include <string_view>

#include "hider/hiding_run.h"
#include "platform/clock.h"
#include "platform/controls.h"
#include "platform/message_loop.h"
#include "platform/texts.h"
#include "platform/tray_shell.h"
#include "platform/window.h"
#include "tray/tray_icon.h"

namespace pellucor {

inline constexpr std::int32_t kMinimiseBalloonSeconds = 5;

class TrayPresence final : public RunWindow, public ControlHost {
 public:
  // Looks, a while after the window went into the tray, whether the tray
  // icon is really there. A timer id of the window's.
  static constexpr int kTrayWatchTimer = 2;

  TrayPresence(Window& window, MessageLoop& loop, TrayShell& shell, Clock& clock, const Texts& texts);

  // Gives the icon its stored properties, once the window exists.
  void create();
  // The window's size or state changed: minimised, it goes into the tray.
  void onWindowResized();
  // The icon was clicked, or another start asks for the window: it comes
  // back, and a run going stays on.
  void bringBack();
  // The program ends: no more looking, and the icon leaves the tray.
  void leave();

  // True while the window has been hidden into the tray and not brought back.
  bool hiddenInTray() const { return hiddenInTray_; }
  const Timer& trayWatchTimer() const { return trayWatchTimer_; }

  // RunWindow
  void leaveForRun() override;
  void stopAsked() override { trayIcon.EndBalloonWait(); }
  void showAfterRun() override;
  void focusAfterRun() override;
  void backFromRun() override { hiddenInTray_ = false; }

  // ControlHost: the program always runs; it keeps no layout to mark.
  bool UserMode() const override { return true; }
  void PropertyChanged(std::string_view) override {}

  TrayIcon trayIcon;

 private:
  void onTrayWatchTick();
  void showMinimiseBalloon();

  Window& window_;
  TrayShell& shell_;
  const Texts& texts_;
  Timer trayWatchTimer_;
  bool hiddenInTray_ = false;
};

}  // namespace pellucor
