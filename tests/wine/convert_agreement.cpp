// convert_agreement.exe CORPUS
//
// Converts every text of the corpus twice: with the desktop's own conversion
// (VarI2FromStr, VarR8FromStr, the user's default locale) and with the
// simulated desktop's rebuild of it (TextToInt16, TextToDouble, given the same
// locale's symbols). The two must agree on the error kind and, on success, on
// the value, bit for bit. Prints each disagreement, then "N passed, M failed";
// exits 0 only when nothing failed.
//
// Corpus format: one text per line in an escaped form, so that every text
// survives editors and diffs. Lines starting with '#' and empty lines are
// skipped. Escapes: \s space, \t tab, \n line feed, \r carriage return,
// \\ backslash, \e nothing (a line holding only \e is the empty text),
// \xHH one byte, \u{HHHH} a code point in UTF-8, \[UNIT*N] UNIT repeated N
// times. A line may not begin or end with a raw blank or hold a raw control
// character: such blanks are written with escapes.

#include <windows.h>
// after windows.h
#include <oleauto.h>

#include <bit>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>

#include "platform/sim/ole_number.h"

namespace {

using pellucor::sim::ConversionError;
using pellucor::sim::NumberLocale;

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

bool ParseHex(std::string_view digits, unsigned long& value) {
  if (digits.empty() || digits.size() > 8) return false;
  value = 0;
  for (const char c : digits) {
    int d = -1;
    if (c >= '0' && c <= '9') d = c - '0';
    if (c >= 'a' && c <= 'f') d = c - 'a' + 10;
    if (c >= 'A' && c <= 'F') d = c - 'A' + 10;
    if (d < 0) return false;
    value = value * 16 + static_cast<unsigned long>(d);
  }
  return true;
}

// The text a corpus line stands for, or nothing (with `why`) when the line is
// malformed.
std::optional<std::string> Unescape(std::string_view line, std::string& why) {
  if (line.front() == ' ' || line.back() == ' ') {
    why = "raw blank at an end; write \\s";
    return std::nullopt;
  }
  std::string out;
  for (std::size_t i = 0; i < line.size(); ++i) {
    const char c = line[i];
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
      why = "raw control character; write an escape";
      return std::nullopt;
    }
    if (c != '\\') {
      out += c;
      continue;
    }
    if (++i == line.size()) {
      why = "lone backslash at the end";
      return std::nullopt;
    }
    unsigned long value = 0;
    switch (line[i]) {
      case 's':
        out += ' ';
        break;
      case 't':
        out += '\t';
        break;
      case 'n':
        out += '\n';
        break;
      case 'r':
        out += '\r';
        break;
      case '\\':
        out += '\\';
        break;
      case 'e':
        break;
      case 'x':
        if (!ParseHex(line.substr(i + 1, 2), value) || i + 2 >= line.size()) {
          why = "\\x needs two hex digits";
          return std::nullopt;
        }
        out += static_cast<char>(value);
        i += 2;
        break;
      case 'u': {
        const std::size_t close = line.find('}', i);
        if (i + 1 >= line.size() || line[i + 1] != '{' || close == std::string_view::npos ||
            !ParseHex(line.substr(i + 2, close - i - 2), value) || value > 0x10FFFF) {
          why = "\\u needs {HEX}";
          return std::nullopt;
        }
        AppendUtf8(out, static_cast<char32_t>(value));
        i = close;
        break;
      }
      case '[': {
        const std::size_t close = line.find(']', i);
        const std::size_t star = close == std::string_view::npos ? close : line.rfind('*', close);
        if (close == std::string_view::npos || star == std::string_view::npos || star <= i + 1) {
          why = "\\[ needs UNIT*N]";
          return std::nullopt;
        }
        const std::string unit(line.substr(i + 1, star - i - 1));
        const std::string count(line.substr(star + 1, close - star - 1));
        if (count.empty() || count.find_first_not_of("0123456789") != std::string::npos || count.size() > 5) {
          why = "\\[ count must be a number";
          return std::nullopt;
        }
        for (int k = std::stoi(count); k > 0; --k) out += unit;
        i = close;
        break;
      }
      default:
        why = std::string("unknown escape \\") + line[i];
        return std::nullopt;
    }
  }
  return out;
}

std::wstring ToWide(const std::string& utf8) {
  if (utf8.empty()) return {};
  const int size = static_cast<int>(utf8.size());
  const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, wide.data(), n);
  return wide;
}

std::string ToUtf8(const std::wstring& wide) {
  if (wide.empty()) return {};
  const int size = static_cast<int>(wide.size());
  const int n = WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, out.data(), n, nullptr, nullptr);
  return out;
}

std::wstring LocaleText(LCTYPE what) {
  wchar_t buffer[32] = {};
  const int n = GetLocaleInfoW(LOCALE_USER_DEFAULT, what, buffer, 32);
  return n > 1 ? std::wstring(buffer, static_cast<std::size_t>(n - 1)) : std::wstring();
}

// The symbols the desktop's conversion uses, read from the desktop itself.
NumberLocale DesktopLocale() {
  NumberLocale locale;
  const std::wstring decimal = LocaleText(LOCALE_SDECIMAL);
  const std::wstring thousands = LocaleText(LOCALE_STHOUSAND);
  if (!decimal.empty()) locale.decimal = static_cast<char32_t>(decimal[0]);
  if (!thousands.empty()) locale.thousands = static_cast<char32_t>(thousands[0]);
  locale.currency = ToUtf8(LocaleText(LOCALE_SCURRENCY));
  return locale;
}

// An HRESULT the converter cannot give, so that any other result disagrees.
constexpr int kUnknownError = -1;

int ErrorKind(HRESULT hr) {
  if (hr == S_OK) return static_cast<int>(ConversionError::None);
  if (hr == DISP_E_TYPEMISMATCH) return static_cast<int>(ConversionError::TypeMismatch);
  if (hr == DISP_E_OVERFLOW) return static_cast<int>(ConversionError::Overflow);
  return kUnknownError;
}

std::string Describe(HRESULT hr, const std::string& value) {
  if (hr == S_OK) return value;
  if (hr == DISP_E_TYPEMISMATCH) return "type mismatch";
  if (hr == DISP_E_OVERFLOW) return "overflow";
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "HRESULT 0x%08lX", static_cast<unsigned long>(hr));
  return buffer;
}

std::string Describe(ConversionError error, const std::string& value) {
  switch (error) {
    case ConversionError::None:
      return value;
    case ConversionError::TypeMismatch:
      return "type mismatch";
    case ConversionError::Overflow:
      return "overflow";
  }
  return "?";
}

std::string Show(double d) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.17g (%a)", d, d);
  return buffer;
}

struct Outcome {
  bool agree = true;
  std::string report;
};

void CompareInt16(BSTR text, const std::string& utf8, const NumberLocale& locale, Outcome& out) {
  SHORT desktop = 0;
  const HRESULT hr = VarI2FromStr(text, LOCALE_USER_DEFAULT, 0, &desktop);
  const auto ours = pellucor::sim::TextToInt16(utf8, locale);
  const bool same = ErrorKind(hr) == static_cast<int>(ours.error) && (hr != S_OK || desktop == ours.value);
  if (same) return;
  out.agree = false;
  out.report += "    Int16:  desktop " + Describe(hr, std::to_string(desktop)) + ", ours " +
                Describe(ours.error, std::to_string(ours.value)) + "\n";
}

void CompareDouble(BSTR text, const std::string& utf8, const NumberLocale& locale, Outcome& out) {
  double desktop = 0.0;
  const HRESULT hr = VarR8FromStr(text, LOCALE_USER_DEFAULT, 0, &desktop);
  const auto ours = pellucor::sim::TextToDouble(utf8, locale);
  // Bit for bit: -0 and 0 differ, and so do neighbouring doubles.
  const bool same = ErrorKind(hr) == static_cast<int>(ours.error) &&
                    (hr != S_OK || std::bit_cast<std::uint64_t>(desktop) == std::bit_cast<std::uint64_t>(ours.value));
  if (same) return;
  out.agree = false;
  out.report +=
      "    Double: desktop " + Describe(hr, Show(desktop)) + ", ours " + Describe(ours.error, Show(ours.value)) + "\n";
}

std::string Shorten(const std::string& line) {
  return line.size() <= 72 ? line : line.substr(0, 60) + "... (" + std::to_string(line.size()) + " chars)";
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: convert_agreement CORPUS\n");
    return 2;
  }
  std::ifstream file(argv[1], std::ios::binary);
  if (!file) {
    std::fprintf(stderr, "cannot read %s\n", argv[1]);
    return 2;
  }
  const NumberLocale locale = DesktopLocale();
  std::printf("locale: decimal U+%04X, thousands U+%04X, currency \"%s\"\n", static_cast<unsigned>(locale.decimal),
              static_cast<unsigned>(locale.thousands), locale.currency.c_str());

  int passed = 0;
  int failed = 0;
  int lineNumber = 0;
  std::string line;
  while (std::getline(file, line)) {
    ++lineNumber;
    if (line.empty() || line[0] == '#') continue;
    std::string why;
    const std::optional<std::string> text = Unescape(line, why);
    if (!text) {
      std::printf("line %d: bad corpus line (%s): %s\n", lineNumber, why.c_str(), Shorten(line).c_str());
      ++failed;
      continue;
    }
    const std::wstring wide = ToWide(*text);
    BSTR bstr = SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
    Outcome outcome;
    CompareInt16(bstr, *text, locale, outcome);
    CompareDouble(bstr, *text, locale, outcome);
    SysFreeString(bstr);
    if (outcome.agree) {
      ++passed;
    } else {
      ++failed;
      std::printf("line %d: %s\n%s", lineNumber, Shorten(line).c_str(), outcome.report.c_str());
    }
  }
  std::printf("%d passed, %d failed\n", passed, failed);
  return failed == 0 ? 0 : 1;
}
