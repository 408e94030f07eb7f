#pragma once

// The seam between the program and the operating system, by role. Each part
// of the program takes the roles it uses; win32/ provides them all for real
// and sim/ as a deterministic desktop for the tests, each as one Platform.
//
//   Window       the window and its controls, and FormEvents back up
//   MessageLoop  pumping, waiting, timers, message boxes, ending
//   InputHooks   the keyboard hook and the mouse watch (input thread)
//   Cursor       display count, position, system cursors, the window's pointer
//   TrayShell    the tray control's window and the notification area
//   Registry     the settings store and the Run keys
//   Files        files beside the program, starting programs
//   Processes    another copy of the program, the guardian and its note
//   Clock        time and random numbers
//   Numbers      the locale's text-to-number conversions
//   Desktop      which program is in front
//   Dialogs      the system menu and the Options dialog
//   Texts        the texts a user reads, in the user's language

#include "platform/clock.h"
#include "platform/cursor.h"
#include "platform/desktop.h"
#include "platform/dialogs.h"
#include "platform/files.h"
#include "platform/input_hooks.h"
#include "platform/message_loop.h"
#include "platform/processes.h"
#include "platform/registry.h"
#include "platform/texts.h"
#include "platform/tray_shell.h"
#include "platform/types.h"
#include "platform/window.h"

namespace pellucor {

class Platform : public Window,
                 public MessageLoop,
                 public InputHooks,
                 public Cursor,
                 public TrayShell,
                 public Registry,
                 public Files,
                 public Processes,
                 public Clock,
                 public Numbers,
                 public Desktop,
                 public Dialogs,
                 public Texts {
 public:
  virtual ~Platform() = default;
};

}  // namespace pellucor
