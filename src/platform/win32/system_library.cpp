#include "platform/win32/system_library.h"

namespace pellucor::win32 {

HMODULE SystemLibrary(const wchar_t* dll) noexcept {
  // Loaded at most a few times in the program's life; a module loaded twice
  // only gains a reference, so no cache is needed for correctness.
  return LoadLibraryExW(dll, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
}

}  // namespace pellucor::win32
