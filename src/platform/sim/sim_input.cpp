// The simulated desktop's cursor, mouse and keyboard.

#include <algorithm>
#include <utility>

#include "platform/sim/sim_desktop.h"

namespace pellucor::sim {
namespace {

constexpr int kVkShift = 0x10, kVkControl = 0x11, kVkMenu = 0x12, kVkLShift = 0xA0, kVkRShift = 0xA1,
              kVkLControl = 0xA2, kVkRControl = 0xA3, kVkLMenu = 0xA4, kVkRMenu = 0xA5;
constexpr std::uintptr_t kKeyDown = 0x100, kKeyUp = 0x101, kSysKeyDown = 0x104, kSysKeyUp = 0x105;

}  // namespace

// --- Cursor and mouse -------------------------------------------------------------

int SimDesktop::showCursor(bool show) {
  log.push_back(show ? "showCursor 1" : "showCursor 0");
  cursorDisplayCount += show ? 1 : -1;
  return cursorDisplayCount;
}

std::optional<Point> SimDesktop::cursorPos() {
  if (cursorUnreadable) return std::nullopt;
  return cursor_;
}

void SimDesktop::hideSystemCursors() {
  log.push_back("hideSystemCursors");
  systemCursorsHidden = true;
  ++systemCursorReplacements;
}

void SimDesktop::restoreSystemCursors() {
  log.push_back("restoreSystemCursors");
  if (whileRestoringCursors) whileRestoringCursors();
  systemCursorsHidden = false;
}

void SimDesktop::watchMouse(bool on) {
  log.push_back(on ? "watchMouse 1" : "watchMouse 0");
  if (on && !mouseWatched) ++mouseWatchStarts;
  mouseWatched = on;
}

// Like the raw-input handler: one report posted per burst of input, saying
// all that happened until it is handled.
void SimDesktop::reportMouseInput(unsigned use) {
  lastInputTick_ = static_cast<std::uint32_t>(nowMs_);
  if (!mouseWatched) return;
  mouseUses_ |= use;
  if (mouseReportPosted_) return;
  mouseReportPosted_ = true;
  post([this] {
    mouseReportPosted_ = false;
    const unsigned uses = std::exchange(mouseUses_, 0u);
    if (!mouseWatched || !inputEvents_) return;
    log.push_back("heard mouse input");
    inputEvents_->onMouseInput(uses);
  });
}

void SimDesktop::userMoveMouse(Point to) {
  cursor_ = to;
  reportMouseInput(kMouseMoved);
}

void SimDesktop::userMouseButton() { reportMouseInput(kMouseButton); }

void SimDesktop::userWheel() { reportMouseInput(kMouseWheel); }

// --- Keyboard ----------------------------------------------------------------------

HookHandle SimDesktop::setKeyboardHook(KeyboardListener& listener) {
  log.push_back("setKeyboardHook");
  if (failKeyboardHook) return 0;
  const HookHandle handle = nextHook_++;
  hooks_.insert(hooks_.begin(), InstalledHook{handle, &listener});
  return handle;
}

void SimDesktop::unhookKeyboard(HookHandle hook) {
  log.push_back("unhookKeyboard");
  std::erase_if(hooks_, [hook](const InstalledHook& h) { return h.handle == hook; });
}

void SimDesktop::dropKeyboardHooks() { hooks_.clear(); }

std::intptr_t SimDesktop::callNextHook(HookHandle hook, int code, std::uintptr_t wParam, std::intptr_t lParam) {
  ++nextHookCalls;
  const auto it =
      std::find_if(hooks_.begin(), hooks_.end(), [hook](const InstalledHook& h) { return h.handle == hook; });
  if (it == hooks_.end() || it + 1 == hooks_.end()) return 0;  // the system: pass the key on
  return (it + 1)->listener->onKeyEvent(*this, code, wParam, lParam);
}

// A key event's lParam here: the key, and bit 16 when another program sent it.
constexpr std::intptr_t kInjectedBit = 0x10000;

int SimDesktop::hookEventKey(std::intptr_t lParam) { return static_cast<int>(lParam & 0xFFFF); }

bool SimDesktop::hookEventInjected(std::intptr_t lParam) { return (lParam & kInjectedBit) != 0; }

// VK_SHIFT, VK_CONTROL and VK_MENU stand for either side.
std::int16_t SimDesktop::asyncKeyState(int virtualKey) {
  ++keyStateQueries;
  const auto down = [this](std::initializer_list<int> keys) {
    return std::any_of(keys.begin(), keys.end(), [this](int k) { return keysDown[k]; });
  };
  bool isDown = keysDown[virtualKey];
  if (virtualKey == kVkShift) isDown = down({kVkShift, kVkLShift, kVkRShift});
  if (virtualKey == kVkControl) isDown = down({kVkControl, kVkLControl, kVkRControl});
  if (virtualKey == kVkMenu) isDown = down({kVkMenu, kVkLMenu, kVkRMenu});
  int state = isDown ? 0x8000 : 0;
  // The low bit: pressed since the previous query; the query consumes it.
  if (keysPressedSinceQuery[virtualKey]) state |= 1;
  keysPressedSinceQuery[virtualKey] = false;
  return static_cast<std::int16_t>(state);
}

void SimDesktop::userKey(int virtualKey, bool down, bool injected) {
  // Alt without Ctrl makes a system key, as F10 does.
  const bool alt = keysDown[kVkMenu] || keysDown[kVkLMenu] || keysDown[kVkRMenu] || virtualKey == kVkMenu ||
                   virtualKey == kVkLMenu || virtualKey == kVkRMenu;
  const bool ctrl = keysDown[kVkControl] || keysDown[kVkLControl] || keysDown[kVkRControl];
  const bool sys = alt && !ctrl;
  const std::uintptr_t message = down ? (sys ? kSysKeyDown : kKeyDown) : (sys ? kSysKeyUp : kKeyUp);
  const std::intptr_t lParam = virtualKey | (injected ? kInjectedBit : 0);
  lastInputTick_ = static_cast<std::uint32_t>(nowMs_);
  if (!hooks_.empty()) hookResults.push_back(hooks_.front().listener->onKeyEvent(*this, 0, message, lParam));
  keysDown[virtualKey] = down;
  if (down) keysPressedSinceQuery[virtualKey] = true;
}

void SimDesktop::postStopKey() {
  log.push_back("postStopKey");
  post([this] {
    if (!inputEvents_) return;
    log.push_back("heard stop key");
    inputEvents_->onStopKey();
  });
}

void SimDesktop::postTypingKey() {
  log.push_back("postTypingKey");
  post([this] {
    if (!inputEvents_) return;
    log.push_back("heard typing key");
    inputEvents_->onTypingKey();
  });
}

void SimDesktop::postCtrlTap() {
  log.push_back("postCtrlTap");
  post([this] {
    if (inputEvents_) inputEvents_->onCtrlTap();
  });
}

bool SimDesktop::registerHotKey(int id, const KeyChord& chord) {
  log.push_back("registerHotKey " + std::to_string(id));
  for (const KeyChord& taken : hotKeysTakenElsewhere) {
    if (taken == chord) return false;
  }
  hotKeys[id] = chord;
  return true;
}

void SimDesktop::unregisterHotKey(int id) {
  log.push_back("unregisterHotKey " + std::to_string(id));
  hotKeys.erase(id);
}

void SimDesktop::userHotKey(const KeyChord& chord) {
  lastInputTick_ = static_cast<std::uint32_t>(nowMs_);
  for (const auto& [id, registered] : hotKeys) {
    if (registered == chord) {
      post([this, id = id] {
        if (inputEvents_) inputEvents_->onHotKey(id);
      });
    }
  }
}

void SimDesktop::sessionResumed() {
  post([this] {
    if (inputEvents_) inputEvents_->onSessionResumed();
  });
}

}  // namespace pellucor::sim
