#include "platform/win32/system_library.h"

namespace pellucor::win32 {

HMODULE SystemLibrary(const wchar_t* dll) noexcept {
  // Never freed: a second load only adds a reference.
  return LoadLibraryExW(dll, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
}

}  // namespace pellucor::win32
