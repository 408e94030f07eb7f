// How the program comes back after an installer replaced its file: Restart
// Manager closes it through its windows and starts again only programs
// registered for it, with the arguments registered last.

#include "platform/win32/text.h"
#include "platform/win32/win32_platform.h"

namespace pellucor::win32 {

// Restart Manager's restarts only: a crash or a hang is no reason to come
// back by surprise, and after a reboot starting at sign-in is the user's
// choice ("Load this software on Windows startup").
void Win32Platform::registerForRestart(std::string_view arguments) {
  const std::wstring line = Widen(arguments);
  RegisterApplicationRestart(line.empty() ? nullptr : line.c_str(),
                             RESTART_NO_CRASH | RESTART_NO_HANG | RESTART_NO_REBOOT);
}

}  // namespace pellucor::win32
