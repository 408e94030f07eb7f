// Number conversion: OLE Automation's locale-aware parser, the one the
// simulated desktop copies (see sim/ole_number.h).

#include <windows.h>
// After windows.h, whose types it uses.
#include <oleauto.h>

#include "platform/failure.h"
#include "platform/win32/text.h"
#include "platform/win32/win32_platform.h"

namespace pellucor::win32 {
namespace {

[[noreturn]] void ThrowConversionFailure(HRESULT result) {
  throw Failure(result == DISP_E_OVERFLOW ? failure_text::kOverflow : failure_text::kTypeMismatch);
}

}  // namespace

// The parser reads a NUL-terminated string: a NUL inside the text ends it
// there, as it does on the simulated desktop.
std::int16_t Win32Platform::textToInt16(std::string_view text) {
  std::wstring wide = Widen(text);
  SHORT value = 0;
  const HRESULT result = VarI2FromStr(wide.data(), LOCALE_USER_DEFAULT, 0, &value);
  if (FAILED(result)) ThrowConversionFailure(result);
  return value;
}

double Win32Platform::textToDouble(std::string_view text) {
  std::wstring wide = Widen(text);
  DOUBLE value = 0;
  const HRESULT result = VarR8FromStr(wide.data(), LOCALE_USER_DEFAULT, 0, &value);
  if (FAILED(result)) ThrowConversionFailure(result);
  return value;
}

}  // namespace pellucor::win32
