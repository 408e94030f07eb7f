#pragma once

// Registering one of the program's window classes, by name, before its first
// window: a second registration fails harmlessly.

#include <windows.h>

namespace pellucor::win32 {

inline void RegisterWindowClass(HINSTANCE instance, const wchar_t* name, WNDPROC procedure, HCURSOR cursor = nullptr) {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = procedure;
  windowClass.hInstance = instance;
  windowClass.hCursor = cursor;
  windowClass.lpszClassName = name;
  RegisterClassExW(&windowClass);
}

}  // namespace pellucor::win32
