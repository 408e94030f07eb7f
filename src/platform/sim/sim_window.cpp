// The simulated desktop's window and its controls.

#include "platform/sim/sim_desktop.h"
#include "platform/sim/sim_text.h"

namespace pellucor::sim {

void SimDesktop::createForm(const WindowSpec& window, const std::vector<ControlSpec>& controls, FormEvents& events) {
  log.push_back("createForm");
  events_ = &events;
  windowSpec_ = window;
  caption_ = window.caption;
  windowBack_ = window.back;
  for (const ControlSpec& design : controls) {
    SimControl c;
    c.design = design;
    c.text = design.caption;
    c.visible = design.visible;
    c.back = design.back;
    c.fore = design.fore;
    controls_[design.id] = c;
  }
}

void SimDesktop::showForm(WindowState state) {
  log.push_back(state == WindowState::Minimised ? "showForm Minimised" : "showForm Normal");
  windowVisible_ = true;
  state_ = state;
  if (state == WindowState::Minimised) {
    if (events_) events_->onResize();
    return;
  }
  // The first control in tab order that can take the focus gets it.
  const SimControl* first = nullptr;
  for (const auto& [id, c] : controls_) {
    if (c.design.kind == ControlKind::Frame || !c.visible) continue;
    if (!first || c.design.tabIndex < first->design.tabIndex) first = &c;
  }
  if (first) moveFocus(first->design.id);
}

void SimDesktop::setText(ControlId id, std::string_view text) {
  log.push_back("setText " + name(id) + " " + std::string(text));
  if (id == kWindow) {
    caption_ = std::string(text);
  } else {
    SimControl& c = control(id);
    c.text = std::string(text);
    c.selStart = c.selLength = 0;
  }
}

std::string SimDesktop::text(ControlId id) { return id == kWindow ? caption_ : control(id).text; }

void SimDesktop::setCheck(ControlId id, int value) {
  log.push_back("setCheck " + name(id) + " " + std::to_string(value));
  control(id).check = value;
}

void SimDesktop::setVisible(ControlId id, bool visible) {
  log.push_back(std::string(visible ? "show " : "hide ") + name(id));
  if (id == kWindow) {
    // The focused control keeps the focus while its window is hidden and
    // has it again when the window comes back: no focus events either way.
    windowVisible_ = visible;
    return;
  }
  SimControl& c = control(id);
  if (!visible && focus_ == id) moveFocus(-1);
  c.visible = visible;
}

void SimDesktop::setEnabled(ControlId id, bool enabled) {
  log.push_back(std::string(enabled ? "enable " : "disable ") + name(id));
  SimControl& c = control(id);
  // Windows takes the focus from a control it disables.
  if (!enabled && focus_ == id) moveFocus(-1);
  c.enabled = enabled;
}

bool SimDesktop::visible(ControlId id) { return id == kWindow ? windowVisible_ : control(id).visible; }

void SimDesktop::setBackColour(ControlId id, Colour colour) {
  log.push_back("setBackColour " + name(id) + " " + std::to_string(colour));
  if (id == kWindow) {
    windowBack_ = colour;
  } else {
    control(id).back = colour;
  }
}

void SimDesktop::setForeColour(ControlId id, Colour colour) {
  log.push_back("setForeColour " + name(id) + " " + std::to_string(colour));
  if (id != kWindow) control(id).fore = colour;
}

bool SimDesktop::setFocus(ControlId id) {
  log.push_back("setFocus " + name(id));
  if (!windowVisible_ || (id != kWindow && !control(id).visible)) return false;
  foreground_ = !foregroundRefused;
  // Focusing the window gives the focus back to the control that had it.
  if (id != kWindow) moveFocus(id);
  return true;
}

bool SimDesktop::isForeground() { return windowVisible_ && foreground_; }

void SimDesktop::flashUntilActivated() {
  log.push_back("flashUntilActivated");
  ++taskbarFlashes;
}

void SimDesktop::selectText(ControlId id, int start, int length) {
  SimControl& c = control(id);
  c.selStart = start;
  c.selLength = length;
}

void SimDesktop::setWindowState(WindowState state) {
  log.push_back(state == WindowState::Minimised ? "setWindowState Minimised" : "setWindowState Normal");
  if (state == state_) return;
  state_ = state;
  // A hidden window only remembers the state; a shown one is resized now.
  if (windowVisible_ && events_) events_->onResize();
}

WindowState SimDesktop::windowState() { return state_; }

void SimDesktop::setWindowIcon() {
  log.push_back("setWindowIcon");
  iconSet_ = true;
}

std::intptr_t SimDesktop::windowHandle() { return handle_; }

std::vector<std::pair<ControlId, ControlKind>> SimDesktop::controlsOf(std::intptr_t handle) {
  std::vector<std::pair<ControlId, ControlKind>> out;
  if (!events_ || static_cast<std::uint32_t>(handle) != static_cast<std::uint32_t>(handle_)) return out;
  for (const auto& [id, c] : controls_) out.emplace_back(id, c.design.kind);
  return out;
}

void SimDesktop::setMousePointer(MousePointer pointer, CursorHandle custom) {
  log.push_back(pointer == MousePointer::Custom ? "setMousePointer Custom" : "setMousePointer Default");
  pointer_ = pointer;
  pointerCursor_ = custom;
}

}  // namespace pellucor::sim

namespace pellucor::sim {

// A fixed rule, so that layouts come out the same on every machine: a
// character of the Latin, Greek, Cyrillic or Arabic scripts is half the
// font's size wide, a CJK one a whole size.
int SimDesktop::textWidthTwips(const FontSpec& font, std::string_view text) {
  const double em = font.points * 20.0;
  double width = 0;
  for (const char32_t c : FoldedCodePoints(text)) width += (c >= 0x2E80 ? 1.0 : 0.5) * em;
  return static_cast<int>(width + 0.5);
}

}  // namespace pellucor::sim
