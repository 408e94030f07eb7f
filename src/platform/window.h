#pragma once

// The window and its controls: what the program shows, and what the user
// does to it, reported back through FormEvents.

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/types.h"

namespace pellucor {

// What the user does to the window and its controls. Called on the GUI
// thread from message dispatch, so any of these may run nested inside a
// handler that pumps. Everything else the platform reports goes to the part
// that owns it: timers (TimerEvents), input elsewhere on the desktop
// (InputEvents), another start's commands (CommandEvents), policy changes
// (PolicyEvents) and the system menu (MenuEvents).
class FormEvents {
 public:
  virtual void onUserClick(ControlId id) = 0;       // button pressed, check box toggled
  virtual void onUserTextChange(ControlId id) = 0;  // the user edited a field
  virtual void onFocusGained(ControlId id) = 0;
  virtual void onFocusLost(ControlId id) = 0;
  virtual void onMouseMove(ControlId id) = 0;  // window, frame or button under the pointer
  virtual void onResize() = 0;                 // size or state changed
  virtual void onCloseRequest() = 0;           // never refused
  // The system's colours changed, or a high-contrast theme came or went.
  virtual void onColoursChanged() = 0;

 protected:
  ~FormEvents() = default;
};

class Window {
 public:
  // Creates the window hidden, with its controls; nothing is shown until
  // showForm. Events go to `events`, which must outlive the window.
  virtual void createForm(const WindowSpec& window, const std::vector<ControlSpec>& controls, FormEvents& events) = 0;
  // Shows the window for the first time: centred on the screen when Normal.
  virtual void showForm(WindowState state) = 0;
  // The caption of the window (kWindow), a frame, check box or button, or the
  // text of a field. Setting it raises no event: the portable controls decide.
  virtual void setText(ControlId id, std::string_view text) = 0;
  virtual std::string text(ControlId id) = 0;
  virtual void setCheck(ControlId id, int value) = 0;
  virtual void setVisible(ControlId id, bool visible) = 0;
  virtual bool visible(ControlId id) = 0;
  // A disabled control is shown greyed and takes no input.
  virtual void setEnabled(ControlId id, bool enabled) = 0;
  virtual void setBackColour(ControlId id, Colour colour) = 0;
  virtual void setForeColour(ControlId id, Colour colour) = 0;
  // Returns false when the control cannot take the focus (hidden window).
  // Asks for the foreground too, which Windows may refuse.
  virtual bool setFocus(ControlId id) = 0;
  // Whether the window is the one in front, taking the keyboard.
  virtual bool isForeground() = 0;
  // Whether a high-contrast theme is on: only the system's colours then.
  virtual bool highContrast() = 0;
  // How wide the text is on one line in that font, in twips.
  virtual int textWidthTwips(const FontSpec& font, std::string_view text) = 0;
  // Flashes the window's taskbar button until the user brings it forward.
  virtual void flashUntilActivated() = 0;
  virtual void selectText(ControlId id, int start, int length) = 0;
  virtual void setWindowState(WindowState state) = 0;
  virtual WindowState windowState() = 0;
  virtual void setWindowIcon() = 0;  // the application icon
  virtual std::intptr_t windowHandle() = 0;
  // The kinds of control on the window with this handle (the skin engine's
  // view of a window it is given by handle); empty for an unknown handle.
  virtual std::vector<std::pair<ControlId, ControlKind>> controlsOf(std::intptr_t handle) = 0;

 protected:
  ~Window() = default;
};

}  // namespace pellucor
