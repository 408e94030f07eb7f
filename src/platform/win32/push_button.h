#pragma once

// The run button is an owner-drawn BUTTON: the system button cannot take a
// back colour, and the program's button must (white by design).

#include <windows.h>

namespace pellucor::win32 {

// Paints the whole button for one WM_DRAWITEM: back colour, a raised edge
// (sunken while pressed), the caption centred in `font` and `fore`, and the
// focus rectangle. The font belongs to the caller.
void DrawPushButton(const DRAWITEMSTRUCT& item, HFONT font, COLORREF back, COLORREF fore);

}  // namespace pellucor::win32
