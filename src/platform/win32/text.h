#pragma once

// Texts cross the platform seam as UTF-8; Windows takes UTF-16.

#include <windows.h>

#include <string>
#include <string_view>

namespace pellucor::win32 {

std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view utf16);
// A window's or control's text, as it holds it.
std::wstring WindowText(HWND window);

}  // namespace pellucor::win32
