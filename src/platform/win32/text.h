#pragma once

// Texts cross the platform seam as UTF-8; Windows takes UTF-16.

#include <string>
#include <string_view>

namespace pellucor::win32 {

std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view utf16);

}  // namespace pellucor::win32
