#pragma once

// What the form's window and its drawing share: its styles, the conversion of
// the design's twips, and its colours as GDI sees them.

#include <windows.h>

#include "platform/types.h"
#include "platform/win32/handles.h"

namespace pellucor::win32 {

// A fixed single border with a minimise box and no maximise box.
inline constexpr DWORD kFormStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
inline constexpr DWORD kFormExStyle = WS_EX_CONTROLPARENT | WS_EX_APPWINDOW;

inline int TwipsToPixels(int twips, UINT dpi) { return MulDiv(twips, static_cast<int>(dpi), 1440); }

// A colour of the design (0x00BBGGRR, or a system colour) as GDI takes it.
inline COLORREF Resolve(Colour colour) {
  if (colour & 0x80000000u) return GetSysColor(static_cast<int>(colour & 0xFFu));
  return static_cast<COLORREF>(colour & 0x00FFFFFFu);
}

inline UniqueBrush MakeBrush(Colour colour) { return UniqueBrush(CreateSolidBrush(Resolve(colour))); }

}  // namespace pellucor::win32
