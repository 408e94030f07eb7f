// Texts: the string tables in the program's resources, one a language, and
// the user's Windows display language.

#include <windows.h>

#include "platform/win32/text.h"
#include "platform/win32/win32_platform.h"

namespace pellucor::win32 {
namespace {

// The string with that id in one language's table; empty if it has none.
// Tables hold sixteen counted strings a block, so no LoadString: it takes
// the thread's language, not the one asked for.
std::wstring StringIn(LANGID language, int id) {
  HMODULE module = GetModuleHandleW(nullptr);
  HRSRC found = FindResourceExW(module, RT_STRING, MAKEINTRESOURCEW(id / 16 + 1), language);
  if (!found) return {};
  const auto* at = static_cast<const WCHAR*>(LockResource(LoadResource(module, found)));
  const DWORD size = SizeofResource(module, found) / sizeof(WCHAR);
  if (!at) return {};
  const WCHAR* end = at + size;
  for (int i = 0; i < id % 16 && at < end; ++i) at += 1 + *at;
  if (at >= end || at + 1 + *at > end) return {};
  return std::wstring(at + 1, *at);
}

BOOL CALLBACK AddLanguage(HMODULE, LPCWSTR, LPCWSTR, WORD language, LONG_PTR found) {
  reinterpret_cast<std::vector<LANGID>*>(found)->push_back(language);
  return TRUE;
}

std::vector<std::string> PreferredLanguages() {
  std::vector<std::string> tags;
  ULONG count = 0, size = 0;
  if (GetUserPreferredUILanguages(MUI_LANGUAGE_NAME, &count, nullptr, &size) && size > 0) {
    std::wstring names(size, L'\0');
    if (GetUserPreferredUILanguages(MUI_LANGUAGE_NAME, &count, names.data(), &size)) {
      for (const WCHAR* name = names.c_str(); *name; name += wcslen(name) + 1) tags.push_back(Narrow(name));
    }
  }
  WCHAR name[LOCALE_NAME_MAX_LENGTH] = {};
  if (LCIDToLocaleName(MAKELCID(GetUserDefaultUILanguage(), SORT_DEFAULT), name, LOCALE_NAME_MAX_LENGTH, 0) > 0)
    tags.push_back(Narrow(name));
  return tags;
}

}  // namespace

void Win32Platform::chooseLanguage() {
  std::vector<LANGID> languages;
  EnumResourceLanguagesW(GetModuleHandleW(nullptr), RT_STRING, MAKEINTRESOURCEW(IDS_LANGUAGE_TAG / 16 + 1),
                         &AddLanguage, reinterpret_cast<LONG_PTR>(&languages));
  std::vector<std::string> tags;
  for (const LANGID language : languages) tags.push_back(Narrow(StringIn(language, IDS_LANGUAGE_TAG)));
  language_ = ChooseLanguage(PreferredLanguages(), tags);
  for (std::size_t i = 0; i < tags.size(); ++i) {
    if (tags[i] == language_) languageId_ = languages[i];
  }
}

std::string Win32Platform::textFor(int id) const {
  std::wstring text = StringIn(languageId_, id);
  if (text.empty()) text = StringIn(kEnglish, id);
  return Narrow(text);
}

}  // namespace pellucor::win32
