#pragma once

// The desktop's locale-aware text-to-number conversion (OLE Automation's
// VarI2FromStr and VarR8FromStr with the user's default locale), rebuilt for
// the simulated desktop. The idle-seconds field goes through it on every
// unchanged tick and on losing the focus, so the tests must see a text the way
// the desktop does, oddities included: tests/wine/convert_agreement.cpp checks
// it text by text against the real conversion.
//
// Pure functions: no platform calls, no global state.

#include <cstdint>
#include <string>
#include <string_view>

namespace pellucor::sim {

// The user's number symbols. The signs are always '+' and '-'.
struct NumberLocale {
  char32_t decimal = U'.';
  char32_t thousands = U',';
  std::string currency = "$";  // UTF-8, matched whole; empty: none
};

enum class ConversionError { None, TypeMismatch, Overflow };

// `value` is meaningful only when `error` is None.
template <class T>
struct Converted {
  T value{};
  ConversionError error = ConversionError::None;
};

// Texts are UTF-8; a NUL character ends the text, as the desktop reads a
// NUL-terminated string.
Converted<std::int16_t> TextToInt16(std::string_view text, const NumberLocale& locale = {});
Converted<double> TextToDouble(std::string_view text, const NumberLocale& locale = {});

}  // namespace pellucor::sim
