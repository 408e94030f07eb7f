// Fuzzes the desktop's text-to-number conversion that reads the idle-seconds
// field, with the default number symbols and with German ones.
//
// Input: the field's text, as is (any bytes).
//
// Besides the sanitizers, checks what must hold whatever the text:
// - a text ends at its first NUL;
// - a double is never NaN, and is infinite only for the desktop's known quirk
//   (309 or more kept digits, read as a whole number before the point is
//   placed, give infinity, not Overflow, even for "2.111...");
// - a 16-bit result fits what the text says: the double of the same text is
//   within 1 of it (a rounding), or is it plus 65536 (&H and &O wrap to 16
//   bits), and for a short decimal text is its double rounded half to even;
//   a text whose double lies well within 16 bits converts to them.

#include <bit>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/sim/ole_number.h"

namespace {

using pellucor::sim::ConversionError;
using pellucor::sim::NumberLocale;
using pellucor::sim::TextToDouble;
using pellucor::sim::TextToInt16;

[[noreturn]] void Fail(const char* what, std::string_view text) {
  std::fprintf(stderr, "fuzz_number: %s (text of %zu bytes)\n", what, text.size());
  std::abort();
}

bool Known(ConversionError e) {
  return e == ConversionError::None || e == ConversionError::TypeMismatch || e == ConversionError::Overflow;
}

std::size_t DigitCount(std::string_view text) {
  std::size_t n = 0;
  for (const char c : text) n += c >= '0' && c <= '9';
  return n;
}

void Check(std::string_view text, const NumberLocale& locale) {
  const auto i = TextToInt16(text, locale);
  const auto d = TextToDouble(text, locale);
  if (!Known(i.error) || !Known(d.error)) Fail("unknown error value", text);

  const std::size_t nul = text.find('\0');
  const std::string_view visible = text.substr(0, nul);
  if (nul != std::string_view::npos) {
    const auto i0 = TextToInt16(visible, locale);
    const auto d0 = TextToDouble(visible, locale);
    if (i0.error != i.error || (i.error == ConversionError::None && i0.value != i.value))
      Fail("TextToInt16 reads past a NUL", text);
    if (d0.error != d.error || (d.error == ConversionError::None &&
                                std::bit_cast<std::uint64_t>(d0.value) != std::bit_cast<std::uint64_t>(d.value)))
      Fail("TextToDouble reads past a NUL", text);
  }

  if (d.error == ConversionError::None) {
    if (std::isnan(d.value)) Fail("TextToDouble gave NaN", text);
    if (std::isinf(d.value) && DigitCount(visible) < 309) Fail("TextToDouble gave infinity without Overflow", text);
  }

  if (i.error == ConversionError::None) {
    if (d.error != ConversionError::None) Fail("a 16-bit number that is no double", text);
    // The quirk's infinity says nothing of the number: "2.1" followed by
    // 400 ones is -2 as 16 bits and infinity as a double, as Wine has it.
    if (std::isinf(d.value)) return;
    const double asInt = i.value;
    const bool rounded = std::fabs(d.value - asInt) <= 1.0;
    const bool decimal = visible.find('&') == std::string_view::npos;
    const bool wrapped = !decimal && i.value < 0 && d.value == asInt + 65536.0;
    if (!rounded && !wrapped) Fail("TextToInt16 disagrees with TextToDouble", text);
    // With few digits the double is exact: from 1 up the nearest whole number,
    // and a half goes to the even one (below 1 the desktop rounds oddly).
    if (decimal && DigitCount(visible) <= 15) {
      const double off = std::fabs(d.value - asInt);
      if (std::fabs(d.value) >= 1.0 && off > 0.5) Fail("TextToInt16 is not the nearest whole number", text);
      if (off == 0.5 && i.value % 2 != 0) Fail("a half did not round to the even number", text);
    }
  } else if (d.error == ConversionError::None && std::fabs(d.value) <= 32766.0) {
    Fail("a small double that fails as a 16-bit number", text);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  static const NumberLocale english;
  static const NumberLocale german{U',', U'.', "\xE2\x82\xAC"};  // the euro sign
  Check(text, english);
  Check(text, german);
  return 0;
}
