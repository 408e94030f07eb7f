#pragma once

// A name for screen readers on a control whose own text is not one: the
// seconds field, whose question is its frame's caption. Windows names an
// edit control from the label just before it, and the field has none.

#include <windows.h>

#include <string>

namespace pellucor::win32 {

// From now on, the control's accessible object (the standard one, which
// oleacc makes only when an assistive program asks) gives `name`.
void GiveAccessibleName(HWND control, std::wstring name);

}  // namespace pellucor::win32
