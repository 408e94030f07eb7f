#pragma once

// The tray control's own window and the shell's notification area.

#include <cstdint>
#include <string_view>

#include "platform/types.h"

namespace pellucor {

class TrayShell;

// A window procedure of the portable code, given the shell it runs on.
using WindowProc = std::intptr_t (*)(TrayShell& shell, std::intptr_t window, std::uint32_t message,
                                     std::uintptr_t wParam, std::intptr_t lParam);

class TrayShell {
 public:
  // A window of a control's own: top-level (so that broadcasts such as
  // "TaskbarCreated" reach it), never shown, its handle fixed for its life.
  virtual std::intptr_t createControlWindow() = 0;
  virtual void destroyControlWindow(std::intptr_t window) = 0;
  // Installs `proc` over the window's procedure and returns the one it
  // replaced, to call on with callWindowProc and put back with
  // restoreWindowProc.
  virtual WindowProcToken subclassWindow(std::intptr_t window, WindowProc proc) = 0;
  virtual void restoreWindowProc(std::intptr_t window, WindowProcToken previous) = 0;
  virtual std::intptr_t callWindowProc(WindowProcToken previous, std::intptr_t window, std::uint32_t message,
                                       std::uintptr_t wParam, std::intptr_t lParam) = 0;
  virtual void setWindowUserData(std::intptr_t window, std::intptr_t data) = 0;
  virtual std::intptr_t windowUserData(std::intptr_t window) = 0;
  virtual std::uint32_t registerWindowMessage(std::string_view name) = 0;
  // Whether this process runs elevated: programs of the user's normal
  // rights (Explorer, another start) are then of lower rights than its
  // windows.
  virtual bool runsElevated() = 0;
  // Lets the message through to the window from programs of lower rights,
  // sandboxed ones included; Windows drops it otherwise. Only an elevated
  // process needs it to hear Explorer.
  virtual void acceptFromLowerRights(std::intptr_t window, std::uint32_t message) = 0;
  // A timer of a control window: WM_TIMER (0x113) with wParam = id reaches
  // the window's procedure every `ms`; setting it again replaces the interval.
  virtual void setWindowTimer(std::intptr_t window, unsigned id, unsigned ms) = 0;
  virtual void killWindowTimer(std::intptr_t window, unsigned id) = 0;
  // The tray picture from the program's resources, at the system's small-icon size.
  virtual IconHandle trayIcon() = 0;
  // One request to the shell with a fresh, zero-filled version-2 record;
  // false when the shell refused it or did not answer in time (at logon
  // Explorer is often busy, or not there yet).
  virtual bool shellNotifyIcon(std::uint32_t message, const NotifyIconData& data) = 0;

 protected:
  ~TrayShell() = default;
};

}  // namespace pellucor
