// Group Policy values under the program's policy key: the machine's in
// HKEY_LOCAL_MACHINE, the user's in HKEY_CURRENT_USER. Read as they are; the
// portable code judges them.

#include <cstring>

#include "platform/win32/text.h"
#include "platform/win32/win32_platform.h"
#include "policy/policy.h"

namespace pellucor::win32 {

std::optional<PolicyValue> Win32Platform::readPolicy(PolicyScope scope, std::string_view name) {
  const HKEY root = scope == PolicyScope::Machine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
  const std::wstring key = Widen(kPolicyKey);
  const std::wstring value = Widen(name);
  PolicyValue read;
  DWORD type = 0;
  DWORD bytes = 0;
  // No expansion of REG_EXPAND_SZ: it is not a type any policy here has.
  constexpr DWORD kAnyType = RRF_RT_ANY | RRF_NOEXPAND;
  if (RegGetValueW(root, key.c_str(), value.c_str(), kAnyType, &type, nullptr, &bytes) != ERROR_SUCCESS)
    return std::nullopt;
  // The value may grow between asking its size and reading it: ask again.
  std::wstring data;
  for (;;) {
    data.assign(bytes / sizeof(wchar_t) + 2, L'\0');
    bytes = static_cast<DWORD>(data.size() * sizeof(wchar_t));
    const LSTATUS status = RegGetValueW(root, key.c_str(), value.c_str(), kAnyType, &type, data.data(), &bytes);
    if (status == ERROR_MORE_DATA) continue;
    if (status != ERROR_SUCCESS) return std::nullopt;
    break;
  }
  read.type = type;
  if (read.type == REG_DWORD) {
    if (bytes != sizeof(DWORD)) return std::nullopt;
    std::memcpy(&read.number, data.data(), sizeof(DWORD));
  } else if (read.type == REG_SZ || read.type == REG_MULTI_SZ) {
    // RegGetValue ends what it returns with the NULs a string or a list
    // needs; an odd last byte is half a character and dropped.
    data.resize(bytes / sizeof(wchar_t));
    std::wstring_view rest = data;
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
