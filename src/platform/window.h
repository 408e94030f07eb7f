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

// What the platform tells the form. Called on the GUI thread from message
// dispatch, so any of these may run nested inside a handler that pumps.
class FormEvents {
 public:
  virtual void onUserClick(ControlId id) = 0;       // button pressed, check box toggled
  virtual void onUserTextChange(ControlId id) = 0;  // the user edited a field
  virtual void onFocusGained(ControlId id) = 0;
  virtual void onFocusLost(ControlId id) = 0;
  virtual void onMouseMove(ControlId id) = 0;  // window, frame or button under the pointer
  virtual void onResize() = 0;                 // size or state changed
  virtual void onCloseRequest() = 0;           // never refused
  virtual void onTimer(int timerId) = 0;
  // The mouse moved, or a button or the wheel was used, anywhere on the
  // desktop while watchMouse is on: what happened (kMouseMoved, kMouseButton,
  // kMouseWheel) since the last report. At most one report per message.
  virtual void onMouseInput(unsigned uses) = 0;
  // Another start of the program asks this copy to show its window.
  virtual void onShowRequest() = 0;
  // The keyboard hook saw the stop key in some program. Posted from the
  // hook's own thread, so it arrives in order with the mouse reports.
  virtual void onStopKey() = 0;
  // The session was unlocked or the machine woke from sleep: Windows may
  // have dropped the keyboard hook meanwhile.
  virtual void onSessionResumed() = 0;
  // The keyboard hook saw a key that types (typingKeys is on); posted from
  // the hook's thread like the stop key.
  virtual void onTypingKey() = 0;
  // Another window came to the front while watchForeground is on.
  virtual void onForegroundChanged() = 0;
  // An item the program added to the window's system menu was chosen.
  virtual void onMenuCommand(int id) = 0;
  // Windows says the policies may have changed (after a Group Policy refresh).
  virtual void onPolicyChanged() = 0;
  // Another start of the program sends a command (its own bytes, outside
  // input) and waits for the answer returned here, a number above 0.
  virtual int onCommand(std::string_view command) = 0;

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
