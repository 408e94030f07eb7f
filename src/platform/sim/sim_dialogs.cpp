// The simulated desktop's program in front, the window's system menu and the
// Options dialog, played by the test.

#include "platform/sim/sim_desktop.h"

namespace pellucor::sim {

std::string SimDesktop::foregroundProgram() {
  log.push_back("foregroundProgram");
  return foreground;
}

void SimDesktop::watchForeground(bool on) {
  if (on != foregroundWatched) log.push_back(on ? "watchForeground 1" : "watchForeground 0");
  foregroundWatched = on;
}

void SimDesktop::bringToFront(std::string program) {
  foreground = std::move(program);
  if (!foregroundWatched) return;
  post([this] {
    if (foregroundWatched && inputEvents_) inputEvents_->onForegroundChanged();
  });
}

void SimDesktop::addSystemMenuItems(const std::vector<MenuItem>& items, MenuEvents& events) {
  systemMenu.insert(systemMenu.end(), items.begin(), items.end());
  menuEvents_ = &events;
}

void SimDesktop::coloursChanged() {
  post([this] {
    if (events_) events_->onColoursChanged();
  });
}

void SimDesktop::userMenuCommand(int id) {
  post([this, id] {
    for (const MenuItem& item : systemMenu) {
      if (item.id == id && windowVisible_ && menuEvents_) menuEvents_->onMenuCommand(id);
    }
  });
}

bool SimDesktop::runOptionsDialog(OptionsFields& fields, std::string_view boxCaption, const OptionsJudge& judge) {
  log.push_back("runOptionsDialog");
  SimOptionsDialog dialog(fields, judge);
  ++openBoxes_;
  struct Closed {
    int& open;
    ~Closed() { --open; }
  } closed{openBoxes_};
  if (useOptionsDialog) useOptionsDialog(dialog);
  // Each refusal was a message box over the dialog.
  for (const Refusal& refusal : dialog.refusals) boxes.push_back({refusal.message, std::string(boxCaption), 0});
  if (!dialog.closedWithOk()) return false;
  fields = dialog.fields;
  return true;
}

}  // namespace pellucor::sim
