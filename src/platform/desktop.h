#pragma once

// The rest of the desktop: which program is in front.

#include <string>
#include <vector>

#include "platform/types.h"

namespace pellucor {

class Desktop {
 public:
  // The file name (no folder) of the program whose window is in front, as
  // its process's image names it; empty when it cannot be read.
  virtual std::string foregroundProgram() = 0;
  // The file names of the other programs whose windows are children of the
  // window in front, in the order Windows lists them: a frame that shows
  // another program's window (a Store app's) holds it as a child.
  virtual std::vector<std::string> foregroundChildPrograms() = 0;
  // What the shell and the window in front say of a program filling the screen.
  virtual ScreenUse foregroundScreenUse() = 0;
  // While on, InputEvents::onForegroundChanged whenever a window comes to
  // the front. Off, it costs nothing.
  virtual void watchForeground(bool on) = 0;

 protected:
  ~Desktop() = default;
};

}  // namespace pellucor
