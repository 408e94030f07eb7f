#pragma once

// Owners for the Win32 handles the back-end keeps. The closers are our own
// small functions rather than the SDK's, so the template argument is a plain
// function of this program on every compiler.

#include <windows.h>

#include "platform/win32/unique.h"

namespace pellucor::win32 {

inline void DeleteGdiObject(HGDIOBJ object) noexcept { DeleteObject(object); }
inline void DestroyCursorHandle(HCURSOR cursor) noexcept { DestroyCursor(cursor); }
inline void DestroyIconHandle(HICON icon) noexcept { DestroyIcon(icon); }
inline void CloseKernelHandle(HANDLE handle) noexcept { CloseHandle(handle); }
inline void CloseFind(HANDLE find) noexcept { FindClose(find); }
inline void ReleaseActivationContext(HANDLE context) noexcept { ReleaseActCtx(context); }

using UniqueFont = Unique<HFONT, DeleteGdiObject>;
using UniqueBrush = Unique<HBRUSH, DeleteGdiObject>;
using UniqueCursor = Unique<HCURSOR, DestroyCursorHandle>;
using UniqueIcon = Unique<HICON, DestroyIconHandle>;
// Kernel handles: callers store null, never INVALID_HANDLE_VALUE.
using UniqueHandle = Unique<HANDLE, CloseKernelHandle>;
using UniqueFind = Unique<HANDLE, CloseFind>;
using UniqueActivationContext = Unique<HANDLE, ReleaseActivationContext>;

}  // namespace pellucor::win32
