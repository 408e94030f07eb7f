#pragma once

// DLLs that Windows does not protect (not KnownDLLs), and those a start does
// not need, are never linked at load time: they are loaded on first use from
// the system folder only, so a DLL of the same name beside the program (a
// Downloads folder, say) can never stand in for them.

#include <windows.h>

namespace pellucor::win32 {

// The system folder's copy of `dll`, kept for the process's life (callers
// keep what they look up); null if it cannot be loaded.
HMODULE SystemLibrary(const wchar_t* dll) noexcept;

// A function of a system DLL, or null.
template <class Function>
Function SystemFunction(const wchar_t* dll, const char* name) noexcept {
  const HMODULE module = SystemLibrary(dll);
  // GetProcAddress gives a generic function pointer; the caller names its type.
  return module ? reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(module, name))) : nullptr;
}

}  // namespace pellucor::win32
