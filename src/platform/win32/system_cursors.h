#pragma once

// The desktop-wide cursors. Kept apart from Win32Platform because the crash
// handlers of main.cpp must put the cursors back without a platform object.

#include <windows.h>

#include "platform/win32/handles.h"

namespace pellucor::win32 {

// A fully transparent 32x32 cursor, owned by the caller; null on failure.
UniqueCursor MakeBlankCursor(HINSTANCE instance);

// Replaces every standard system cursor with a copy of `blank`, which stays
// the caller's.
void ReplaceSystemCursors(HCURSOR blank);

// Reloads the user's cursor scheme. Safe to call at any time, also from a
// crash handler, and harmless when nothing was replaced.
void RestoreSystemCursors() noexcept;

}  // namespace pellucor::win32
