#pragma once

// Text helpers the simulated desktop's parts share.

#include <algorithm>
#include <cctype>
#include <string>
#include <string_view>

namespace pellucor::sim {

// Windows compares file and registry names without case.
inline std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

// The code points of UTF-8 text, capitals of the Latin, Greek and Cyrillic
// alphabets folded to small letters, as Windows folds file names (its table
// covers every script; these are the ones the tests use).
inline std::u32string FoldedCodePoints(std::string_view utf8) {
  std::u32string out;
  for (std::size_t i = 0; i < utf8.size();) {
    const auto lead = static_cast<unsigned char>(utf8[i]);
    const int length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
    char32_t c = length == 1 ? lead : lead & (0xFF >> (length + 1));
    for (int k = 1; k < length && i + k < utf8.size(); ++k)
      c = (c << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
    i += length;
    if ((c >= U'A' && c <= U'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7) || (c >= 0x391 && c <= 0x3A9) ||
        (c >= 0x410 && c <= 0x42F))
      c += 0x20;
    else if (c >= 0x400 && c <= 0x40F)
      c += 0x50;
    out += c;
  }
  return out;
}

}  // namespace pellucor::sim
