// Number conversion: OLE Automation's locale-aware parser, the one the
// simulated desktop copies (see sim/ole_number.h). oleaut32 and all it
// brings are loaded at the first conversion that needs it, not at start.

#include <windows.h>
// After windows.h, whose types it uses.
#include <oleauto.h>

#include <optional>

#include "platform/failure.h"
#include "platform/win32/system_library.h"
#include "platform/win32/text.h"
#include "platform/win32/win32_platform.h"

namespace pellucor::win32 {
namespace {

constexpr wchar_t kOleAutomation[] = L"oleaut32.dll";

[[noreturn]] void ThrowConversionFailure(HRESULT result) {
  throw Failure(result == DISP_E_OVERFLOW ? failure_text::kOverflow : failure_text::kTypeMismatch);
}

template <class Function>
Function Conversion(const char* name) {
  const auto function = SystemFunction<Function>(kOleAutomation, name);
  if (!function) throw Failure(failure_text::kFileNotFound);
  return function;
}

// The text as the parser reads it: a NUL-terminated string, so a NUL inside
// the text ends it there, as it does on the simulated desktop.
std::string_view AsParserReadsIt(std::string_view text) { return text.substr(0, text.find('\0')); }

// Two kinds of text read the same in every locale: no text (the parser's
// type mismatch, thrown here) and a few ASCII digits (that number). They are
// what the program stores and shows, and all a start converts; answered
// here, they spare it loading oleaut32 and the DLLs it brings. Null: any
// other text, for the parser.
std::optional<std::int32_t> Plain(std::string_view text) {
  if (text.empty()) ThrowConversionFailure(DISP_E_TYPEMISMATCH);
  constexpr std::size_t kMostDigits = 9;  // within an int32
  if (text.size() > kMostDigits) return std::nullopt;
  std::int32_t value = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  return value;
}

}  // namespace

std::int16_t Win32Platform::textToInt16(std::string_view text) {
  text = AsParserReadsIt(text);
  if (const auto plain = Plain(text); plain && *plain <= INT16_MAX) return static_cast<std::int16_t>(*plain);
  using Function = HRESULT(WINAPI*)(LPCOLESTR, LCID, ULONG, SHORT*);
  static const auto varI2FromStr = Conversion<Function>("VarI2FromStr");
  std::wstring wide = Widen(text);
  SHORT value = 0;
  const HRESULT result = varI2FromStr(wide.data(), LOCALE_USER_DEFAULT, 0, &value);
  if (FAILED(result)) ThrowConversionFailure(result);
  return value;
}

double Win32Platform::textToDouble(std::string_view text) {
  text = AsParserReadsIt(text);
  if (const auto plain = Plain(text)) return *plain;
  using Function = HRESULT(WINAPI*)(LPCOLESTR, LCID, ULONG, DOUBLE*);
  static const auto varR8FromStr = Conversion<Function>("VarR8FromStr");
  std::wstring wide = Widen(text);
  DOUBLE value = 0;
  const HRESULT result = varR8FromStr(wide.data(), LOCALE_USER_DEFAULT, 0, &value);
  if (FAILED(result)) ThrowConversionFailure(result);
  return value;
}

}  // namespace pellucor::win32
