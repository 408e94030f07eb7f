// Number conversion: OLE Automation's locale-aware parser, the one the
// simulated desktop copies (see sim/ole_number.h). oleaut32 and all it
// brings are loaded at the first conversion, not at start.

#include <windows.h>
// After windows.h, whose types it uses.
#include <oleauto.h>

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

}  // namespace

// The parser reads a NUL-terminated string: a NUL inside the text ends it
// there, as it does on the simulated desktop.
std::int16_t Win32Platform::textToInt16(std::string_view text) {
  using Function = HRESULT(WINAPI*)(LPCOLESTR, LCID, ULONG, SHORT*);
  static const auto varI2FromStr = Conversion<Function>("VarI2FromStr");
  std::wstring wide = Widen(text);
  SHORT value = 0;
  const HRESULT result = varI2FromStr(wide.data(), LOCALE_USER_DEFAULT, 0, &value);
  if (FAILED(result)) ThrowConversionFailure(result);
  return value;
}

double Win32Platform::textToDouble(std::string_view text) {
  using Function = HRESULT(WINAPI*)(LPCOLESTR, LCID, ULONG, DOUBLE*);
  static const auto varR8FromStr = Conversion<Function>("VarR8FromStr");
  std::wstring wide = Widen(text);
  DOUBLE value = 0;
  const HRESULT result = varR8FromStr(wide.data(), LOCALE_USER_DEFAULT, 0, &value);
  if (FAILED(result)) ThrowConversionFailure(result);
  return value;
}

}  // namespace pellucor::win32
