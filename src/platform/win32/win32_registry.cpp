// The per-user settings store and the registry calls of the run-at-logon
// switch. All wide-character, so names and paths outside the ANSI code page
// survive.

#include "platform/win32/registry_value.h"
#include "platform/win32/text.h"
#include "platform/win32/unique.h"
#include "platform/win32/win32_platform.h"

namespace pellucor::win32 {
namespace {

inline void CloseKey(HKEY key) noexcept { RegCloseKey(key); }
using UniqueKey = Unique<HKEY, CloseKey>;

HKEY AsKey(RegKey key) { return reinterpret_cast<HKEY>(key); }

// One key per application and section under the current user's software.
std::wstring SettingsKeyPath(std::string_view application, std::string_view section) {
  return L"Software\\" + Widen(application) + L"\\" + Widen(section);
}

// A text with its terminating NUL, as REG_SZ data; false when too long for
// the registry's byte count.
bool AsRegistryText(const std::wstring& text, DWORD& bytes) {
  if (text.size() >= MAXDWORD / sizeof(wchar_t)) return false;
  bytes = static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t));
  return true;
}

}  // namespace

std::optional<RegistryValue> ReadRegistryValue(HKEY root, const std::wstring& subkey, const std::wstring& name) {
  HKEY opened = nullptr;
  if (RegOpenKeyExW(root, subkey.c_str(), 0, KEY_QUERY_VALUE, &opened) != ERROR_SUCCESS) return std::nullopt;
  const UniqueKey key(opened);
  RegistryValue value;
  DWORD bytes = 0;  // asked first, then what was read
  if (RegQueryValueExW(key.get(), name.c_str(), nullptr, &value.type, nullptr, &bytes) != ERROR_SUCCESS)
    return std::nullopt;
  // The value may grow between asking its size and reading it: ask again.
  for (;;) {
    // Room for an odd last byte.
    value.data.assign(bytes / sizeof(wchar_t) + 1, L'\0');
    bytes = static_cast<DWORD>(value.data.size() * sizeof(wchar_t));
    const LSTATUS status = RegQueryValueExW(key.get(), name.c_str(), nullptr, &value.type,
                                            reinterpret_cast<BYTE*>(value.data.data()), &bytes);
    if (status == ERROR_MORE_DATA) continue;
    if (status != ERROR_SUCCESS) return std::nullopt;
    value.bytes = bytes;
    value.data.resize(bytes / sizeof(wchar_t));  // an odd last byte is half a character: dropped
    return value;
  }
}

// --- Settings store ----------------------------------------------------------------------------

std::optional<std::string> Win32Platform::readSetting(std::string_view application, std::string_view section,
                                                      std::string_view key) {
  std::optional<RegistryValue> value =
      ReadRegistryValue(HKEY_CURRENT_USER, SettingsKeyPath(application, section), Widen(key));
  if (!value || value->type != REG_SZ) return std::nullopt;
  // What was written need not end in a NUL, nor end at the first one.
  std::wstring& data = value->data;
  if (const std::size_t end = data.find(L'\0'); end != std::wstring::npos) data.resize(end);
  return Narrow(data);
}

bool Win32Platform::writeSetting(std::string_view application, std::string_view section, std::string_view key,
                                 std::string_view value) {
  const std::wstring text = Widen(value);
  DWORD bytes = 0;
  if (!AsRegistryText(text, bytes)) return false;
  HKEY created = nullptr;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, SettingsKeyPath(application, section).c_str(), 0, nullptr,
                      REG_OPTION_NON_VOLATILE, KEY_SET_VALUE, nullptr, &created, nullptr) != ERROR_SUCCESS)
    return false;
  const UniqueKey settings(created);
  return RegSetValueExW(settings.get(), Widen(key).c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                        bytes) == ERROR_SUCCESS;
}

// --- Registry ----------------------------------------------------------------------------------

// The caller owns the key it gets and closes it with regCloseKey.
std::int32_t Win32Platform::regOpenKey(RegRoot root, std::string_view subkey, std::uint32_t access, RegKey& key) {
  const HKEY rootKey = root == RegRoot::LocalMachine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
  HKEY opened = nullptr;
  const LSTATUS status = RegOpenKeyExW(rootKey, Widen(subkey).c_str(), 0, access, &opened);
  if (status == ERROR_SUCCESS) key = reinterpret_cast<RegKey>(opened);
  return status;
}

// The data is written as text, whatever the type says, with its NUL counted.
std::int32_t Win32Platform::regSetValue(RegKey key, std::string_view name, std::uint32_t type, std::string_view data) {
  const std::wstring text = Widen(data);
  DWORD bytes = 0;
  if (!AsRegistryText(text, bytes)) return ERROR_INVALID_PARAMETER;
  return RegSetValueExW(AsKey(key), Widen(name).c_str(), 0, type, reinterpret_cast<const BYTE*>(text.c_str()), bytes);
}

std::int32_t Win32Platform::regDeleteValue(RegKey key, std::string_view name) {
  return RegDeleteValueW(AsKey(key), Widen(name).c_str());
}

bool Win32Platform::regValueExists(RegKey key, std::string_view name) {
  return RegQueryValueExW(AsKey(key), Widen(name).c_str(), nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

void Win32Platform::regCloseKey(RegKey key) {
  if (key) RegCloseKey(AsKey(key));
}

}  // namespace pellucor::win32
