#pragma once

// This program starting itself again: its own file, and the helper runs
// (the launcher, and through it the guardian).

#include <windows.h>

#include <initializer_list>
#include <string>

#include "platform/platform.h"
#include "platform/win32/handles.h"

namespace pellucor::win32 {

// The executable's full path, however long; empty if it cannot be read.
std::wstring ModuleFileName();

// A process started, and its first thread.
struct StartedProcess {
  UniqueHandle process;
  UniqueHandle thread;
};

// Starts this program's own file with `arguments` (a command line, UTF-8)
// in the system folder, so it holds no folder of the user's open, passing
// on exactly the handles listed (they must be inheritable; none: nothing
// is inherited). `shownAs` null: a helper run, with no busy pointer;
// otherwise a start that shows its window as `shownAs` says (the
// STARTUPINFO this process was given). Null handles when it could not be
// started, with GetLastError() telling why.
StartedProcess StartThisProgramProcess(const std::string& arguments, std::initializer_list<HANDLE> inherited,
                                       DWORD flags, const STARTUPINFOW* shownAs = nullptr);
// A helper run of this program: the new process, or null.
inline UniqueHandle StartThisProgram(const std::string& arguments, std::initializer_list<HANDLE> inherited,
                                     DWORD flags) {
  return StartThisProgramProcess(arguments, inherited, flags).process;
}

// The launcher's whole run: starts the guardian of `link` outside this
// process's job where the job allows it, and returns the guardian's process
// id as the exit code (0 when it could not be started).
int LaunchGuardian(const GuardianLink& link);

}  // namespace pellucor::win32
