#include "platform/sim/ole_number.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

// The rebuilt desktop conversion, case by case. tests/wine/corpus.txt holds
// the long list that is checked against the real conversion under Wine; these
// are the cases the program's behaviour hangs on, readable at a glance.

namespace pellucor::test {
namespace {

using sim::ConversionError;
using sim::NumberLocale;
using sim::TextToDouble;
using sim::TextToInt16;

constexpr auto kNone = ConversionError::None;
constexpr auto kMismatch = ConversionError::TypeMismatch;
constexpr auto kOverflow = ConversionError::Overflow;

struct Int16Case {
  std::string_view text;
  std::int16_t value;  // ignored unless error is None
  ConversionError error = kNone;
};

struct DoubleCase {
  std::string_view text;
  double value;
  ConversionError error = kNone;
};

std::string Quoted(std::string_view text) { return "\"" + std::string(text) + "\""; }

void ExpectInt16(const std::vector<Int16Case>& cases, const NumberLocale& locale = {}) {
  for (const Int16Case& c : cases) {
    const auto got = TextToInt16(c.text, locale);
    EXPECT_EQ(got.error, c.error) << Quoted(c.text);
    if (c.error == kNone && got.error == kNone) {
      EXPECT_EQ(got.value, c.value) << Quoted(c.text);
    }
  }
}

void ExpectDouble(const std::vector<DoubleCase>& cases, const NumberLocale& locale = {}) {
  for (const DoubleCase& c : cases) {
    const auto got = TextToDouble(c.text, locale);
    EXPECT_EQ(got.error, c.error) << Quoted(c.text);
    if (c.error == kNone && got.error == kNone) {
      EXPECT_EQ(got.value, c.value) << Quoted(c.text);
      EXPECT_EQ(std::signbit(got.value), std::signbit(c.value)) << Quoted(c.text) << " sign of zero";
    }
  }
}

TEST(NumberToInt16, TheIdleFieldsWorkedExamples) {
  ExpectInt16({
      {"3", 3},
      {"0", 0},
      {"-5", -5},
      {"2.5", 2},
      {"3.5", 4},
      {" 7 ", 7},
      {"", 0, kMismatch},
      {"abc", 0, kMismatch},
      {"40000", 0, kOverflow},
      {"1e9", 0, kOverflow},
  });
}

TEST(NumberToInt16, FractionsRoundHalfToEven) {
  ExpectInt16({
      {"0.5", 0},
      {"1.5", 2},
      {"4.5", 4},
      {"-0.5", 0},
      {"-1.5", -2},
      {"-2.5", -2},
      {"2.500", 2},
      {"2.51", 3},
      {"2.49", 2},
      {"2.5000001", 3},
      {"1.25e1", 12},
      {"25e-1", 2},
      {"0.4999999", 0},
      {".5", 0},
      {"9.9", 10},
  });
}

TEST(NumberToInt16, RangeEndsAfterRounding) {
  ExpectInt16({
      {"32767", 32767},
      {"-32768", -32768},
      {"32768", 0, kOverflow},
      {"-32769", 0, kOverflow},
      {"32767.49", 32767},
      {"32767.5", 0, kOverflow},  // rounds to 32768
      {"-32768.5", -32768},       // half to even stays on -32768
      {"-32768.51", 0, kOverflow},
      {"32766.5", 32766},
      {"3.2767e4", 32767},
      {"3.27675e4", 0, kOverflow},
      {"1000000000000000000000000", 0, kOverflow},
  });
}

TEST(NumberToInt16, SignsParenthesesAndBlanks) {
  ExpectInt16({
      {"+5", 5},
      {"5-", -5},
      {"5+", 5},
      {"(5)", -5},
      {"( 5 )", -5},
      {"-(5)", -5},
      {"(5", 0, kMismatch},  // an unclosed parenthesis needs a sign to count
      {"(-5", -5},
      {"5)", 0, kMismatch},
      {"+-5", -5},
      {"--5", 0, kMismatch},  // one sign of each kind in front
      {"-5-", 0, kMismatch},  // and not the same one behind
      {"5--", -5},
      {"\t5\n", 5},
      {"\u00A05", 5},             // no-break space, then 5
      {"\u30005", 5},             // ideographic space, then 5
      {"\u200B5", 0, kMismatch},  // zero-width space is not a blank
      {"5 5", 0, kMismatch},
      {"-", 0, kMismatch},
      {"()", 0, kMismatch},
  });
}

TEST(NumberToInt16, CurrencySymbolAndSeparators) {
  ExpectInt16({
      {"$5", 5},
      {"5$", 5},
      {"$-5", -5},
      {"($5)", -5},
      {"$$5", 0, kMismatch},
      {"5$5", 0, kMismatch},
      {"$5e2", 0, kMismatch},  // an amount of money has no exponent
      {"5e2$", 500},
      {"1,000", 1000},
      {"1,2,3", 123},
      {"1,,000", 1000},
      {"5,", 5},
      {"5 ,", 5},
      {",5", 0, kMismatch},  // a separator cannot open the number
      {"1,000.5", 1000},
      {"1.2.3", 0, kMismatch},
  });
}

TEST(NumberToInt16, Exponents) {
  ExpectInt16({
      {"1e2", 100},
      {"1E2", 100},
      {"1e+2", 100},
      {"1e02", 100},
      {"1e-0", 1},
      {"1.e2", 100},
      {"1e2-", -100},
      {"1e,2", 100},
      {"1e2,3", 1300},  // digits after the exponent join the mantissa
      {"1e+-2", 0},
      {"0e999", 0},
      {"1e", 0, kMismatch},
      {"1e-", 0, kMismatch},
      {"e2", 0, kMismatch},
      {"1d2", 0, kMismatch},
      {"1e2e3", 0, kMismatch},
      {"1e2.5", 0, kMismatch},
      {"1 e2", 0, kMismatch},
  });
}

TEST(NumberToInt16, HexAndOctalWrapAtSixteenBits) {
  ExpectInt16({
      {"&H10", 16},
      {"&h10", 16},
      {"&O17", 15},
      {"&o17", 15},
      {"&HFFFF", -1},
      {"&H8000", -32768},
      {"&H7FFF", 32767},
      {"&O177777", -1},
      {"&H10000", 0, kOverflow},
      {"&HFFFFFFFFFFFFFFFFF", 0, kOverflow},
      {"&H1e2", 482},  // e is a hex digit
      {"-&H10", 16},   // the sign is ignored
      {"&H0000000000000000000001", 1},
      {"&H", 0, kMismatch},
      {"&O8", 0, kMismatch},
      {"&HG", 0, kMismatch},
      {"&H1.5", 0, kMismatch},
      {"&H1,0", 0, kMismatch},
      {"$&H10", 0, kMismatch},
      {"&H10$", 0, kMismatch},
      {"0x10", 0, kMismatch},
      {"&B101", 0, kMismatch},
  });
}

TEST(NumberToInt16, TextEndsAtNulAndBadUtf8IsNoNumber) {
  ExpectInt16({
      {std::string_view("5\0abc", 5), 5},
      {std::string_view("\0"
                        "5",
                        2),
       0, kMismatch},
      {"5\xFF", 0, kMismatch},
      {"\uFF15", 0, kMismatch},  // fullwidth 5 is not a digit
  });
}

// The desktop's conversion as Wine implements it, which real Windows is not
// believed to share; followed so that the agreement check can hold.
TEST(NumberDesktopQuirks, BelowOneRoundsOnTheFirstKeptDigit) {
  ExpectInt16({
      {"0.06", 1},  // the zeros after the point are skipped before rounding
      {"0.051", 1},
      {".05", 0},
      {"0,0.06", 0},  // a zero kept in front of the point keeps the places right
  });
}

TEST(NumberDesktopQuirks, OnlyTheFirst1024DigitsAreKept) {
  const std::string ones(1024, '1');
  const auto whole = TextToDouble(ones);
  EXPECT_EQ(whole.error, kNone);
  EXPECT_EQ(whole.value, std::numeric_limits<double>::infinity()) << "1024 digits: infinity, no overflow";
  EXPECT_EQ(TextToDouble(ones + "1").error, kOverflow) << "a dropped digit scales the infinity";
  // Dropped digits after the point are counted the wrong way round.
  const std::string longFraction = "25." + std::string(1023, '0');
  EXPECT_EQ(TextToInt16(longFraction).value, 2);
  EXPECT_EQ(TextToInt16("25." + std::string(1021, '0')).value, 25);
}

TEST(NumberToDouble, AcceptsWhatTheTickRejects) {
  ExpectDouble({
      {"3", 3.0},
      {"2.5", 2.5},
      {" 7 ", 7.0},
      {"40000", 40000.0},
      {"1e9", 1e9},
      {"32767.5", 32767.5},
      {"-5", -5.0},
      {"(5)", -5.0},
      {"$1,000.50", 1000.5},
      {"&H10", 16.0},
      {"&HFFFF", 65535.0},  // no 16-bit wrap here
      {"&H80000000", -2147483648.0},
      {"&H80000001", 0, kOverflow},
      {"1e-2", 0.01},
      {"0.1", 0.1},
      {"-0", -0.0},
      {"0", 0.0},
      {"", 0, kMismatch},
      {"abc", 0, kMismatch},
      {"1d2", 0, kMismatch},
  });
}

TEST(NumberToDouble, RangeLimits) {
  ExpectDouble({
      {"1e309", 0, kOverflow},
      {"1.7976931348623157e308", 0, kOverflow},  // the desktop's limit is a little lower
      {"1.797693134862315e308", 0, kOverflow},
      {"1.7976931348623151e308", 0x1.ffffffffffffap+1023},
      {"1e-400", 0.0},  // too small is zero, not an error
      {"-1e-400", -0.0},
      {"5e-324", std::numeric_limits<double>::denorm_min()},
      {"4.9e-324", 0.0},
  });
}

TEST(NumberToDouble, ScalesStepByStepLikeTheDesktop) {
  // Not the nearest double: the desktop multiplies by 10^10 thirty times.
  const auto big = TextToDouble("1e308");
  ASSERT_EQ(big.error, kNone);
  EXPECT_EQ(big.value, std::nextafter(1e308, 0.0));
  EXPECT_EQ(TextToDouble("2.51").value, 2.51);
}

TEST(NumberLocaleSymbols, CommaDecimalDotThousandsEuro) {
  const NumberLocale german{U',', U'.', "\u20AC"};
  ExpectInt16(
      {
          {"2,5", 2},
          {"3,5", 4},
          {"1.000", 1000},
          {"1.5", 15},
          {"1.000,5", 1000},
          {"\u20AC5", 5},
          {"5\u20AC", 5},
          {"$5", 0, kMismatch},
          {"1,2,3", 0, kMismatch},
      },
      german);
  ExpectDouble({{"1.000,25", 1000.25}, {"0,5", 0.5}, {"-1,5e1", -15.0}}, german);
}

TEST(NumberLocaleSymbols, CurrencyOfSeveralCharactersOrNone) {
  const NumberLocale crowns{U'.', U',', "kr"};
  ExpectInt16({{"kr5", 5}, {"5 kr", 5}, {"k5", 0, kMismatch}, {"$5", 0, kMismatch}}, crowns);
  const NumberLocale none{U'.', U',', ""};
  ExpectInt16({{"5", 5}, {"$5", 0, kMismatch}}, none);
}

}  // namespace
}  // namespace pellucor::test
