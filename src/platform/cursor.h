#pragma once

// The mouse cursor: this thread's display count, the position, the system
// cursors of the whole desktop, and the window's own pointer.

#include <optional>
#include <string>

#include "platform/types.h"

namespace pellucor {

class Cursor {
 public:
  // The thread's cursor display count after the change, as ShowCursor returns it.
  virtual int showCursor(bool show) = 0;
  // Nothing while another desktop has the input (the lock screen, a UAC
  // prompt, Ctrl+Alt+Del, a disconnected remote session).
  virtual std::optional<Point> cursorPos() = 0;
  // Every standard system cursor replaced by a blank one, for the whole
  // desktop; and the user's own cursors put back.
  virtual void hideSystemCursors() = 0;
  virtual void restoreSystemCursors() = 0;
  // Throws Failure(Invalid picture) when the file is not a loadable cursor.
  virtual CursorHandle loadCursorFile(const std::string& path) = 0;
  // Whether Windows shows where the pointer is when Ctrl is pressed alone
  // (the mouse's "Show location of pointer" setting).
  virtual bool pointerSonarOn() = 0;
  // The pointer over the window's custom-pointer parts.
  virtual void setMousePointer(MousePointer pointer, CursorHandle custom) = 0;

 protected:
  ~Cursor() = default;
};

}  // namespace pellucor
