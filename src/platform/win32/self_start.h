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

// Starts this program's own file with `arguments`, passing on exactly the
// handles listed (they must be inheritable), with no busy pointer and in the
// system folder, so it holds no folder of the user's open. The new process,
// or null.
UniqueHandle StartThisProgram(const std::string& arguments, std::initializer_list<HANDLE> inherited, DWORD flags);

// The launcher's whole run: starts the guardian of `link` outside this
// process's job where the job allows it, and returns the guardian's process
// id as the exit code (0 when it could not be started).
int LaunchGuardian(const GuardianLink& link);

}  // namespace pellucor::win32
