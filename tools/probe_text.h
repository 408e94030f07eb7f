#pragma once

// Text helpers shared by probe.exe and probe_hook.dll: everything they print is
// UTF-8, one record per line, with line breaks and quotes escaped so that a
// value never spans lines and a quoted value is always "[^"]*".

#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

namespace probe {

inline std::string utf8(std::wstring_view text) {
  if (text.empty()) return {};
  const int n =
      WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n, nullptr, nullptr);
  return out;
}

inline std::wstring wide(std::string_view text) {
  if (text.empty()) return {};
  const int n = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring out(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n);
  return out;
}

// Backslash escapes that bash's printf %b undoes: \\ \r \n \t and \xHH for
// the double quote and other control characters.
inline std::string escaped(std::wstring_view text) {
  std::string out;
  for (unsigned char c : utf8(text)) {
    switch (c) {
      case '\\':
        out += "\\\\";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\t':
        out += "\\t";
        break;
      default:
        if (c < 0x20 || c == '"' || c == 0x7f) {
          char buf[8];
          std::snprintf(buf, sizeof buf, "\\x%02x", static_cast<unsigned>(c));
          out += buf;
        } else {
          out += static_cast<char>(c);
        }
    }
  }
  return out;
}

inline std::string quoted(std::wstring_view text) { return "\"" + escaped(text) + "\""; }

inline std::string hex(std::uintptr_t value) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "0x%llx", static_cast<unsigned long long>(value));
  return buf;
}

inline std::string hwndText(HWND hwnd) { return hex(reinterpret_cast<std::uintptr_t>(hwnd)); }

}  // namespace probe
