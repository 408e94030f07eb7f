// The simulated desktop's control windows and the shell's notification area.

#include <algorithm>
#include <vector>

#include "platform/sim/sim_desktop.h"

namespace pellucor::sim {

std::intptr_t SimDesktop::createControlWindow() {
  const std::intptr_t window = nextWindow_++;
  controlWindows_[window] = ControlWindow{};
  return window;
}

void SimDesktop::destroyControlWindow(std::intptr_t window) {
  controlWindows_.erase(window);
  std::erase_if(windowTimers_, [window](const auto& timer) { return timer.first.first == window; });
}

WindowProcToken SimDesktop::subclassWindow(std::intptr_t window, WindowProc proc) {
  log.push_back("subclassWindow");
  ControlWindow& w = controlWindows_.at(window);
  const WindowProcToken token = nextToken_++;
  procTokens_[token] = w.proc;
  w.proc = proc;
  return token;
}

void SimDesktop::restoreWindowProc(std::intptr_t window, WindowProcToken previous) {
  log.push_back("restoreWindowProc");
  controlWindows_.at(window).proc = procTokens_.at(previous);
}

std::intptr_t SimDesktop::callWindowProc(WindowProcToken previous, std::intptr_t window, std::uint32_t message,
                                         std::uintptr_t wParam, std::intptr_t lParam) {
  const WindowProc proc = procTokens_.at(previous);
  return proc ? proc(*this, window, message, wParam, lParam) : 0;  // the window's own does nothing
}

std::intptr_t SimDesktop::sendToControlWindow(std::intptr_t window, std::uint32_t message, std::uintptr_t wParam,
                                              std::intptr_t lParam) {
  const auto it = controlWindows_.find(window);
  if (it == controlWindows_.end() || !it->second.proc) return 0;
  return it->second.proc(*this, window, message, wParam, lParam);
}

void SimDesktop::setWindowUserData(std::intptr_t window, std::intptr_t data) {
  controlWindows_.at(window).userData = data;
}

std::intptr_t SimDesktop::windowUserData(std::intptr_t window) { return controlWindows_.at(window).userData; }

std::uint32_t SimDesktop::registerWindowMessage(std::string_view name) {
  const auto [it, added] =
      registeredMessages_.emplace(std::string(name), 0xC000u + static_cast<std::uint32_t>(registeredMessages_.size()));
  return it->second;
}

IconHandle SimDesktop::trayIcon() { return 0x5001; }

bool SimDesktop::shellNotifyIcon(std::uint32_t message, const NotifyIconData& data) {
  log.push_back("shellNotifyIcon " + std::to_string(message));
  const std::pair<std::intptr_t, std::uint32_t> icon{data.window, data.id};
  bool accepted = false;
  if (!shellDown) {
    if (message == kNimAdd) {
      if (shellRefusesAdds > 0) {
        --shellRefusesAdds;
      } else {
        accepted = shellIcons.insert(icon).second;  // a second add of one icon is refused
      }
    } else if (message == kNimModify) {
      accepted = shellIcons.count(icon) > 0;
    } else if (message == kNimDelete) {
      accepted = shellIcons.erase(icon) > 0;
    }
  }
  shellRequests.push_back({message, data, accepted});
  return accepted;
}

void SimDesktop::explorerEnded() {
  shellIcons.clear();
  shellDown = true;
}

void SimDesktop::setWindowTimer(std::intptr_t window, unsigned id, unsigned ms) {
  const unsigned interval = std::max(ms, 10u);
  windowTimers_[{window, id}] = SimTimer{interval, nowMs_ + interval};
}

void SimDesktop::killWindowTimer(std::intptr_t window, unsigned id) { windowTimers_.erase({window, id}); }

void SimDesktop::acceptFromLowerRights(std::intptr_t window, std::uint32_t message) {
  acceptedFromLowerRights_.insert({window, message});
}

// Windows drops messages from WM_USER up, registered ones included, sent
// from lower rights to an elevated window that did not let them through.
bool SimDesktop::reachesFromShell(std::intptr_t window, std::uint32_t message) const {
  return !elevated || message < 0x0400 || acceptedFromLowerRights_.count({window, message}) > 0;
}

void SimDesktop::trayMessage(std::intptr_t window, std::uintptr_t id, std::intptr_t code) {
  constexpr std::uint32_t kCallback = 0x0400 + 101;
  if (!reachesFromShell(window, kCallback)) return;
  post([this, window, id, code] { sendToControlWindow(window, kCallback, id, code); });
}

void SimDesktop::broadcastTaskbarCreated() {
  const std::uint32_t message = registerWindowMessage("TaskbarCreated");
  post([this, message] {
    // A new shell: it has no icons, and takes them.
    shellIcons.clear();
    shellDown = false;
    std::vector<std::intptr_t> windows;
    for (const auto& [window, w] : controlWindows_) windows.push_back(window);
    for (std::intptr_t window : windows) {
      if (reachesFromShell(window, message)) sendToControlWindow(window, message, 0, 0);
    }
  });
}

}  // namespace pellucor::sim
