// The mouse watch: raw input while the cursor is hidden, and only then, on
// the input thread; its report arrives here as a posted message.

#include "platform/win32/win32_platform.h"

namespace pellucor::win32 {

void Win32Platform::watchMouse(bool on) {
  if (on == mouseWatched_ || !window_) return;
  // A refused registration leaves the tick to show the cursor.
  if (input_.watchMouse(on) || !on) mouseWatched_ = on;
}

void Win32Platform::onMouseInputMessage() {
  const unsigned uses = input_.takeMouseReport();
  if (mouseWatched_ && uses != 0) deliver(inputEvents_, [uses](InputEvents& e) { e.onMouseInput(uses); });
}

}  // namespace pellucor::win32
