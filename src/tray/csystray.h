#pragma once

#include <string>
#include <string_view>

#include "platform/platform.h"

namespace pellucor {

// The main window's notification-area icon. This build keeps the control's
// properties; putting the icon into the shell's tray is not wired yet.
class cSysTray {
 public:
  explicit cSysTray(Platform& platform) : platform_(platform) {}
  cSysTray(const cSysTray&) = delete;
  cSysTray& operator=(const cSysTray&) = delete;

  const std::string& TrayTip() const { return trayTip_; }
  void setTrayTip(std::string_view tip) { trayTip_ = std::string(tip); }
  bool InTray() const { return inTray_; }
  void setInTray(bool inTray) { inTray_ = inTray; }

 private:
  [[maybe_unused]] Platform& platform_;
  std::string trayTip_ = "Telnet Server";
  bool inTray_ = false;
};

}  // namespace pellucor
