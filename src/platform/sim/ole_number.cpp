#include "platform/sim/ole_number.h"

#include <array>
#include <cstddef>
#include <limits>
#include <string>
#include <utility>
#include <vector>

// One parser reads the text into digits and a power of ten; two finishers turn
// that into a 16-bit integer or a double. The rules are those observed of the
// desktop's conversion (see tests/wine/corpus.txt), including where it is
// arguably wrong: the point is that a text behaves here as it does there.

namespace pellucor::sim {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

// The conversion keeps this many digits; later ones only move the power of ten.
constexpr std::size_t kMaxDigits = 1024;

// What the desktop sees of UTF-8: the UTF-16 conversion turns each bad byte
// into U+FFFD, and the parser stops at the first NUL.
std::u32string Decode(std::string_view text) {
  std::u32string out;
  out.reserve(text.size());
  std::size_t i = 0;
  while (i < text.size()) {
    const auto lead = static_cast<unsigned char>(text[i]);
    if (lead == 0) break;
    int length = 0;
    char32_t cp = 0;
    char32_t least = 0;  // below this the sequence is overlong
    if (lead < 0x80) {
      out += lead;
      ++i;
      continue;
    } else if ((lead & 0xE0) == 0xC0) {
      length = 2, cp = lead & 0x1Fu, least = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
      length = 3, cp = lead & 0x0Fu, least = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
      length = 4, cp = lead & 0x07u, least = 0x10000;
    }
    bool valid = length != 0 && i + static_cast<std::size_t>(length) <= text.size();
    for (int k = 1; valid && k < length; ++k) {
      const auto next = static_cast<unsigned char>(text[i + static_cast<std::size_t>(k)]);
      valid = (next & 0xC0) == 0x80;
      cp = (cp << 6) | (next & 0x3Fu);
    }
    valid = valid && cp >= least && cp <= 0x10FFFF && (cp < 0xD800 || cp > 0xDFFF);
    if (!valid) {
      out += kReplacement;
      ++i;
      continue;
    }
    out += cp;
    i += static_cast<std::size_t>(length);
  }
  return out;
}

// The blanks the desktop skips around a number: Unicode's white space.
bool IsBlank(char32_t c) {
  return (c >= 0x09 && c <= 0x0D) || c == 0x20 || c == 0x85 || c == 0xA0 || c == 0x1680 ||
         (c >= 0x2000 && c <= 0x200A) || c == 0x2028 || c == 0x2029 || c == 0x202F || c == 0x205F || c == 0x3000;
}

bool IsDigit(char32_t c) { return c >= U'0' && c <= U'9'; }

int HexLetterValue(char32_t c) {
  if (c >= U'a' && c <= U'f') return static_cast<int>(c - U'a') + 10;
  if (c >= U'A' && c <= U'F') return static_cast<int>(c - U'A') + 10;
  return -1;
}

enum class Base { Decimal, Hex, Octal };

// The number as read: value = digits * 10^pwr10 (decimal), or the digits in
// base 16 or 8. A decimal text keeps at most kMaxDigits digits.
struct Parsed {
  ConversionError error = ConversionError::None;
  bool negative = false;
  Base base = Base::Decimal;
  std::vector<std::uint8_t> digits;
  std::int64_t pwr10 = 0;
};

// Powers of ten are kept as the desktop keeps them: a 32-bit count that wraps
// (so "1e4294967296" is 1). Unsigned arithmetic wraps without undefined
// behaviour; the cast back is modular in C++20.
std::int32_t Wrap(std::uint32_t bits) { return static_cast<std::int32_t>(bits); }

class Parser {
 public:
  Parser(std::u32string text, const NumberLocale& locale)
      : text_(std::move(text)), locale_(locale), currency_(Decode(locale.currency)) {}

  Parsed Run() {
    LeadingSymbols();
    Prefix();
    while (At(pos_) == U'0') {  // leading zeros are not digits
      leadingZero_ = true;
      ++pos_;
    }
    if (!Body()) return result_;
    if (count_ == 0 && leadingZero_) {
      result_.digits.push_back(0);
      count_ = 1;
    }
    if (inExponent_) return Fail(ConversionError::TypeMismatch);  // "1e", "1e-"
    if (result_.base == Base::Decimal && count_ <= kMaxDigits) {
      // Trailing zeros become the power of ten; not when digits were dropped.
      while (result_.digits.size() > 1 && result_.digits.back() == 0) {
        result_.digits.pop_back();
        pwr10_ = pwr10_ + 1;
      }
    }
    TrailingSymbols();
    if (parens_ && !result_.negative) return Fail(ConversionError::TypeMismatch);
    if (pos_ != text_.size()) return Fail(ConversionError::TypeMismatch);
    if (count_ == 0) return Fail(ConversionError::TypeMismatch);
    // Money is never written in &H or &O.
    if (currencySeen_ && result_.base != Base::Decimal) return Fail(ConversionError::TypeMismatch);
    result_.pwr10 = result_.base == Base::Decimal ? Wrap(pwr10_) : 0;
    return result_;
  }

 private:
  char32_t At(std::size_t i) const { return i < text_.size() ? text_[i] : U'\0'; }

  bool CurrencyAt(std::size_t i) const {
    return !currency_.empty() && text_.compare(i, currency_.size(), currency_) == 0;
  }

  Parsed Fail(ConversionError error) {
    result_.error = error;
    return result_;
  }

  // Blanks, one of each sign, one currency symbol and one opening parenthesis,
  // in any order.
  void LeadingSymbols() {
    for (;;) {
      const char32_t c = At(pos_);
      if (IsBlank(c)) {
        while (IsBlank(At(pos_))) ++pos_;
      } else if (c == U'+' && !leadingPlus_) {
        leadingPlus_ = true;
        ++pos_;
      } else if (c == U'-' && !leadingMinus_) {
        leadingMinus_ = true;
        result_.negative = true;
        ++pos_;
      } else if (!currencySeen_ && CurrencyAt(pos_)) {
        // A money amount has no exponent.
        currencySeen_ = true;
        leadingCurrency_ = true;
        pos_ += currency_.size();
      } else if (c == U'(' && !parens_) {
        parens_ = true;
        ++pos_;
      } else {
        return;
      }
    }
  }

  void Prefix() {
    if (At(pos_) != U'&') return;
    const char32_t letter = At(pos_ + 1);
    if (letter == U'H' || letter == U'h') {
      result_.base = Base::Hex;
    } else if (letter == U'O' || letter == U'o') {
      result_.base = Base::Octal;
    } else {
      return;
    }
    pos_ += 2;
  }

  // Digits, separators, the decimal point and the exponent. False when the
  // text is refused outright.
  bool Body() {
    const bool decimalBase = result_.base == Base::Decimal;
    while (pos_ < text_.size()) {
      const char32_t c = text_[pos_];
      if (IsDigit(c) && inExponent_) {
        ExponentDigits();
        continue;
      }
      if (IsDigit(c)) {
        if (result_.base == Base::Octal && c >= U'8') break;
        Digit(static_cast<std::uint8_t>(c - U'0'));
      } else if (c == locale_.thousands && decimalBase && (count_ > 0 || leadingZero_ || decimalPoint_ || exponent_)) {
        // Separators are taken anywhere after the number has begun, in any
        // number: "1,2,3" is 123.
      } else if (c == locale_.decimal && decimalBase && !decimalPoint_ && !exponent_) {
        decimalPoint_ = true;
        if (count_ == 0) {
          // Zeros right after the point are not digits either.
          while (At(pos_ + 1) == U'0') {
            leadingZero_ = true;
            pwr10_ = pwr10_ - 1;
            ++pos_;
          }
        }
      } else if (result_.base == Base::Hex && HexLetterValue(c) >= 0) {
        if (count_ >= kMaxDigits) {
          result_.error = ConversionError::Overflow;
          return false;
        }
        result_.digits.push_back(static_cast<std::uint8_t>(HexLetterValue(c)));
        ++count_;
      } else if ((c == U'e' || c == U'E') && decimalBase && !exponent_ && !leadingCurrency_) {
        exponent_ = true;
        inExponent_ = true;
      } else if (inExponent_ && c == U'+') {
        // A plus in the exponent changes nothing, however often it comes.
      } else if (inExponent_ && c == U'-') {
        negativeExponent_ = true;
      } else {
        break;
      }
      ++pos_;
    }
    return true;
  }

  void Digit(std::uint8_t value) {
    if (count_ >= kMaxDigits && result_.base == Base::Decimal) {
      // Dropped, but it still counts as a place, also after the point, where
      // the desktop counts it the wrong way round.
      pwr10_ = decimalPoint_ ? pwr10_ - 1 : pwr10_ + 1;
    } else {
      if (decimalPoint_) pwr10_ = pwr10_ - 1;
      result_.digits.push_back(value);
    }
    ++count_;
  }

  void ExponentDigits() {
    std::uint32_t size = 0;
    while (IsDigit(At(pos_))) {
      size = size * 10u + static_cast<std::uint32_t>(At(pos_) - U'0');
      ++pos_;
    }
    if (negativeExponent_) size = 0u - size;
    pwr10_ = pwr10_ + size;
    inExponent_ = false;
  }

  // Blanks, signs not given in front (each may repeat), closing parentheses
  // when one was opened, currency symbols and thousands separators.
  void TrailingSymbols() {
    for (;;) {
      const char32_t c = At(pos_);
      if (IsBlank(c)) {
        while (IsBlank(At(pos_))) ++pos_;
      } else if (c == U'+' && !leadingPlus_) {
        ++pos_;
      } else if (c == U'-' && !leadingMinus_) {
        result_.negative = true;
        ++pos_;
      } else if (c == U')' && parens_) {
        result_.negative = true;
        ++pos_;
      } else if (CurrencyAt(pos_)) {
        currencySeen_ = true;
        pos_ += currency_.size();
      } else if (c == locale_.thousands && result_.base == Base::Decimal) {
        ++pos_;
      } else {
        return;
      }
    }
  }

  const std::u32string text_;
  const NumberLocale& locale_;
  const std::u32string currency_;
  std::size_t pos_ = 0;
  Parsed result_;
  std::size_t count_ = 0;  // digits seen, including those dropped
  std::uint32_t pwr10_ = 0;
  bool leadingPlus_ = false;
  bool leadingMinus_ = false;
  bool currencySeen_ = false;
  bool leadingCurrency_ = false;
  bool parens_ = false;
  bool leadingZero_ = false;
  bool decimalPoint_ = false;
  bool exponent_ = false;
  bool inExponent_ = false;
  bool negativeExponent_ = false;
};

Parsed Parse(std::string_view text, const NumberLocale& locale) { return Parser(Decode(text), locale).Run(); }

// &H and &O numbers: the digits' bits, capped once they pass 32 bits (every
// target overflows by then). The sign is ignored.
std::uint64_t BaseValue(const Parsed& number, bool& tooBig) {
  const unsigned shift = number.base == Base::Hex ? 4 : 3;
  std::uint64_t value = 0;
  tooBig = false;
  for (const std::uint8_t d : number.digits) {
    value = (value << shift) | d;
    if (value > 0xFFFFFFFFu) {
      tooBig = true;
      break;
    }
  }
  return value;
}

// Where the decimal point falls among the kept digits. A number below 1 has
// no whole digits, however many zeros follow the point: the rounding then
// looks at the first kept digit (0.06 rounds to 1).
struct Split {
  std::size_t whole = 0;
  std::uint64_t multiplier10 = 0;
  std::uint64_t divisor10 = 0;
};

Split SplitDigits(const Parsed& number) {
  const auto count = static_cast<std::int64_t>(number.digits.size());
  Split s;
  if (number.pwr10 < 0) {
    s.whole = -number.pwr10 >= count ? 0 : static_cast<std::size_t>(count + number.pwr10);
    s.divisor10 = static_cast<std::uint64_t>(-number.pwr10);
  } else {
    s.whole = number.digits.size();
    s.multiplier10 = static_cast<std::uint64_t>(number.pwr10);
  }
  return s;
}

}  // namespace

Converted<std::int16_t> TextToInt16(std::string_view text, const NumberLocale& locale) {
  const Parsed number = Parse(text, locale);
  if (number.error != ConversionError::None) return {0, number.error};
  constexpr Converted<std::int16_t> overflow{0, ConversionError::Overflow};

  if (number.base != Base::Decimal) {
    // 16 bits wrap: &HFFFF is -1.
    bool tooBig = false;
    const std::uint64_t bits = BaseValue(number, tooBig);
    if (tooBig || bits > 0xFFFF) return overflow;
    return {static_cast<std::int16_t>(static_cast<std::uint16_t>(bits)), ConversionError::None};
  }

  // Magnitudes above 32768 can only fail, so counting stops there.
  constexpr std::uint64_t kBeyond = 32769;
  const Split split = SplitDigits(number);
  std::uint64_t magnitude = 0;
  for (std::size_t i = 0; i < split.whole && magnitude < kBeyond; ++i) {
    magnitude = magnitude * 10 + number.digits[i];
  }
  for (std::uint64_t i = 0; i < split.multiplier10 && magnitude != 0 && magnitude < kBeyond; ++i) {
    magnitude *= 10;
  }
  if (split.whole < number.digits.size() && magnitude < kBeyond) {
    // Round half to even, judged on the kept digits only.
    const std::uint8_t first = number.digits[split.whole];
    bool moreAfterHalf = false;
    for (std::size_t i = split.whole + 1; i < number.digits.size(); ++i) {
      moreAfterHalf = moreAfterHalf || number.digits[i] != 0;
    }
    if (first > 5 || (first == 5 && (moreAfterHalf || (magnitude & 1) != 0))) ++magnitude;
  }
  if (number.negative) {
    if (magnitude > 32768) return overflow;
    return {static_cast<std::int16_t>(-static_cast<std::int32_t>(magnitude)), ConversionError::None};
  }
  if (magnitude > 32767) return overflow;
  return {static_cast<std::int16_t>(magnitude), ConversionError::None};
}

Converted<double> TextToDouble(std::string_view text, const NumberLocale& locale) {
  const Parsed number = Parse(text, locale);
  if (number.error != ConversionError::None) return {0.0, number.error};
  constexpr Converted<double> overflow{0.0, ConversionError::Overflow};

  if (number.base != Base::Decimal) {
    // Taken as a 32-bit signed number, and only &H80000000 is read as negative.
    bool tooBig = false;
    const std::uint64_t bits = BaseValue(number, tooBig);
    if (tooBig || bits > 0x80000000u) return overflow;
    if (bits == 0x80000000u) return {-2147483648.0, ConversionError::None};
    return {static_cast<double>(bits), ConversionError::None};
  }

  // The desktop's arithmetic, step by step, so that every rounding falls the
  // same way: all kept digits as a whole number (which may reach infinity, and
  // infinity is then the result), scaled by 10^10 at a time.
  static constexpr std::array<double, 11> kPowers = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9, 1e10};
  // The desktop's range limits: the upper one is a little below the largest
  // double, the lower one is the smallest denormal.
  constexpr double kMax = 1.797693134862315e308;
  constexpr double kTiny = std::numeric_limits<double>::denorm_min();
  constexpr double kInfinity = std::numeric_limits<double>::infinity();

  double value = 0.0;
  for (const std::uint8_t d : number.digits) {
    value *= 10.0;  // two statements: no fused multiply-add
    value += d;
  }
  const Split split = SplitDigits(number);
  for (std::uint64_t left = split.multiplier10; left > 0 && value != 0.0;) {
    const std::uint64_t step = left > 10 ? 10 : left;
    if (value > kMax / kPowers[step]) return overflow;
    value *= kPowers[step];
    left -= step;
  }
  for (std::uint64_t left = split.divisor10; left > 0 && value != 0.0 && value != kInfinity;) {
    const std::uint64_t step = left > 10 ? 10 : left;
    if (value < kTiny * kPowers[step]) {
      value = 0.0;  // below the smallest double: zero, not an error
      break;
    }
    value /= kPowers[step];
    left -= step;
  }
  return {number.negative ? -value : value, ConversionError::None};
}

}  // namespace pellucor::sim
