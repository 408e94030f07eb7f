// Group Policy values under the program's policy key: the machine's in
// HKEY_LOCAL_MACHINE, the user's in HKEY_CURRENT_USER. Read as they are; the
// portable code judges them.

#include <cstring>

#include "platform/win32/registry_value.h"
#include "platform/win32/text.h"
#include "platform/win32/win32_platform.h"

namespace pellucor::win32 {

std::optional<PolicyValue> Win32Platform::readPolicy(PolicyScope scope, std::string_view name) {
  const HKEY root = scope == PolicyScope::Machine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
  const std::optional<RegistryValue> value = ReadRegistryValue(root, Widen(kPolicyKey), Widen(name));
  if (!value) return std::nullopt;
  PolicyValue read;
  read.type = value->type;
  if (read.type == REG_DWORD) {
    if (value->bytes != sizeof(DWORD)) return std::nullopt;
    std::memcpy(&read.number, value->data.data(), sizeof(DWORD));
  } else if (read.type == REG_SZ || read.type == REG_MULTI_SZ) {
    // A string ends at its first NUL, a list at its first empty string, or
    // either where the data ends.
    std::wstring_view rest = value->data;
    while (!rest.empty()) {
      const std::size_t end = rest.find(L'\0');
      const std::wstring_view text = rest.substr(0, end);
      if (text.empty()) break;
      read.texts.push_back(Narrow(std::wstring(text)));
      if (read.type == REG_SZ || end == std::wstring_view::npos) break;
      rest = rest.substr(end + 1);
    }
  }
  return read;
}

}  // namespace pellucor::win32
