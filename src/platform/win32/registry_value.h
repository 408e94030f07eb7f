#pragma once

// One registry value read whole, whatever its type: the settings store and
// the policies both read this way.

#include <windows.h>

#include <optional>
#include <string>

namespace pellucor::win32 {

struct RegistryValue {
  DWORD type = 0;
  // The data as stored, in wide characters; an odd last byte is dropped and
  // nothing promises a closing NUL.
  std::wstring data;
  DWORD bytes = 0;  // the data's length as stored
};

// Nothing when the key or the value cannot be read.
std::optional<RegistryValue> ReadRegistryValue(HKEY root, const std::wstring& subkey, const std::wstring& name);

}  // namespace pellucor::win32
