#include <windows.h>

#include <shellapi.h>

#include <cstdlib>
#include <exception>
#include <string>
#include <vector>

#include "app/app.h"
#include "hider/guardian.h"
#include "platform/win32/self_start.h"
#include "platform/win32/system_cursors.h"
#include "platform/win32/text.h"
#include "platform/win32/win32_platform.h"

namespace {

// The blank system cursors outlive the process: whatever ends it, the user's
// cursors come back first.
LONG WINAPI RestoreCursorsOnCrash(EXCEPTION_POINTERS*) {
  pellucor::win32::RestoreSystemCursors();
  return EXCEPTION_CONTINUE_SEARCH;  // the crash itself goes on as it would
}

[[noreturn]] void RestoreCursorsOnTerminate() {
  pellucor::win32::RestoreSystemCursors();
  std::abort();
}

// The command line's arguments after the program's own name, as UTF-8.
std::vector<std::string> Arguments() {
  std::vector<std::string> args;
  int count = 0;
  if (LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &count)) {
    for (int i = 1; i < count; ++i) args.push_back(pellucor::win32::Narrow(argv[i]));
    LocalFree(argv);
  }
  return args;
}

// The guardian of a main process: no window, no tray icon, no hook.
int RunGuardianProcess(HINSTANCE instance, const pellucor::GuardianLink& link) {
  pellucor::win32::Win32Platform platform(instance);
  return pellucor::GuardMainProcess(platform, platform, platform, link);
}

int RunMainProcess(HINSTANCE instance, const std::vector<std::string>& args) {
  try {
    pellucor::win32::Win32Platform platform(instance);
    return pellucor::runPellucor(platform, args);
  } catch (const std::exception& failure) {
    // A failure no handler guards ends the program, as a run-time error would.
    const std::wstring text = pellucor::win32::Widen(failure.what());
    MessageBoxW(nullptr, text.c_str(), nullptr, MB_OK | MB_ICONERROR);
    return 1;
  }
}

}  // namespace

// Picks the process's part from its command line, as a service's main picks its mode.
int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  // Later DLL loads come from System32 only, never from the program's folder.
  SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
  SetUnhandledExceptionFilter(&RestoreCursorsOnCrash);
  std::set_terminate(&RestoreCursorsOnTerminate);

  const std::vector<std::string> args = Arguments();
  if (const auto helper = pellucor::GuardianSwitch(args)) {
    if (helper->role == pellucor::GuardianRole::Launcher) return pellucor::win32::LaunchGuardian(helper->link);
    return RunGuardianProcess(instance, helper->link);
  }
  // Anything else is the user's command line.
  return RunMainProcess(instance, args);
}
